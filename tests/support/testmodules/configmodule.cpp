// Test settings-file module: load and save steered by the control file.
// With VL_TM_WITHOUT_ENTRY the module lacks MPAConfigGetAPIExt.

#include "testcontrol.h"

#include <cstdio>
#include <veltrano/mpa_modules.h>

using namespace TestControl;

namespace {
VL_TM_LOG_LIFETIME

// Unused in the variant that lacks the entry point.
[[maybe_unused]] int32_t loadSettings(EncoderSettings* settings, const char* path)
{
    log(std::string("load ") + (path ? path : "(null)"));
    const Control control = readControl();
    if (settings) {
        auto fields = recordFields(settings);
        fields.push_back({ "audioType", &settings->audioType });
        fields.push_back({ "sampleFrequency", &settings->sampleFrequency });
        for (const auto& field : fields) {
            const std::string key = std::string("load.") + field.first;
            if (control.has(key))
                *field.second = static_cast<int32_t>(control.number(key, 0));
        }
    }
    return static_cast<int32_t>(control.number("load.result", 0));
}

// Unused in the variant that lacks the entry point.
[[maybe_unused]] int32_t saveSettings(EncoderSettings* settings, const char* path)
{
    log(std::string("save ") + (path ? path : "(null)") + describeFields(settings));
    const Control control = readControl();
    FILE* const file = settings && path && control.number("save.write", 0) != 0 ? std::fopen(path, "w") : nullptr;
    if (file) {
        for (const auto& field : recordFields(settings))
            std::fprintf(file, "%s=%d\n", field.first, *field.second);
        std::fclose(file);
    }
    return static_cast<int32_t>(control.number("save.result", 0));
}
} // namespace

#ifndef VL_TM_WITHOUT_ENTRY
extern "C" VL_EXPORT MPAConfigFileFunc MPAConfigGetAPIExt(int32_t id)
{
    log("getapi " + std::to_string(id));
    const Control control = readControl();
    if (id == VL_CONFIG_API_LOAD && control.number("getapi.load", 1) != 0)
        return &loadSettings;
    if (id == VL_CONFIG_API_SAVE && control.number("getapi.save", 1) != 0)
        return &saveSettings;
    return nullptr;
}
#else
// Something else is exported, so only the entry point is missing.
extern "C" VL_EXPORT int32_t MPAConfigVersion()
{
    return 1;
}
#endif
