// Test settings-file module: load and save steered by the control file.
// With VL_TM_WITHOUT_ENTRY the module lacks MPAConfigGetAPIExt.

#include "testcontrol.h"

#include <cstdio>
#include <veltrano/mpa_modules.h>

using namespace TestControl;

namespace {
void anchor() { }

const void* self()
{
    return reinterpret_cast<const void*>(&anchor);
}

__attribute__((constructor)) void attach()
{
    logCall(self(), "vl_config_mpa", "attach");
}

__attribute__((destructor)) void detach()
{
    logCall(self(), "vl_config_mpa", "detach");
}

// Unused in the variant that lacks the entry point.
[[maybe_unused]] int32_t loadSettings(EncoderSettings* settings, const char* path)
{
    logCall(self(), "vl_config_mpa", std::string("load ") + (path ? path : "(null)"));
    const Control control = readControl(self());
    const int32_t result = static_cast<int32_t>(control.number("load.result", 0));
    if (!settings)
        return result;
    for (const auto& field : recordFields(settings)) {
        const std::string key = std::string("load.") + field.first;
        if (control.has(key))
            *field.second = static_cast<int32_t>(control.number(key, 0));
    }
    if (control.has("load.audioType"))
        settings->audioType = static_cast<int32_t>(control.number("load.audioType", 0));
    if (control.has("load.sampleFrequency"))
        settings->sampleFrequency = static_cast<int32_t>(control.number("load.sampleFrequency", 0));
    return result;
}

// Unused in the variant that lacks the entry point.
[[maybe_unused]] int32_t saveSettings(EncoderSettings* settings, const char* path)
{
    logCall(self(), "vl_config_mpa", std::string("save ") + (path ? path : "(null)") + describeFields(settings));
    const Control control = readControl(self());
    if (settings && path && control.number("save.write", 0) != 0) {
        if (FILE* const file = std::fopen(path, "w")) {
            for (const auto& field : recordFields(settings))
                std::fprintf(file, "%s=%d\n", field.first, *field.second);
            std::fclose(file);
        }
    }
    return static_cast<int32_t>(control.number("save.result", 0));
}
} // namespace

#ifndef VL_TM_WITHOUT_ENTRY
extern "C" VL_EXPORT MPAConfigFileFunc MPAConfigGetAPIExt(int32_t id)
{
    logCall(self(), "vl_config_mpa", "getapi " + std::to_string(id));
    const Control control = readControl(self());
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
