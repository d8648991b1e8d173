// Test encoder module: defaults and check steered by the control file.
// With VL_TM_WITHOUT_CHECK the module lacks mpegOutAudioChkSettings.

#include "testcontrol.h"

#include <cstring>
#include <veltrano/mpa_modules.h>

using namespace TestControl;

namespace {
VL_TM_LOG_LIFETIME
} // namespace

extern "C" {

VL_EXPORT int32_t mpegOutAudioDefaults(EncoderSettings* settings, int32_t audioType)
{
    log("defaults " + std::to_string(audioType));
    const Control control = readControl();
    if (settings) {
        const long fallback[] = { 1, 2, 1, 11, 0, 0, 0, 0, 1 };
        int index = 0;
        for (const auto& field : recordFields(settings))
            *field.second
                = static_cast<int32_t>(control.number(std::string("defaults.") + field.first, fallback[index++]));
        if (control.has("defaults.opaque"))
            std::memset(
                settings->opaque, static_cast<int>(control.number("defaults.opaque", 0)), sizeof settings->opaque);
    }
    return static_cast<int32_t>(control.number("defaults.result", 0));
}

#ifndef VL_TM_WITHOUT_CHECK
VL_EXPORT int32_t mpegOutAudioChkSettings(EncoderCallbacks* callbacks, const EncoderSettings* settings,
    int32_t audioType, int32_t sampleFrequency, int32_t reserved, void* reservedPointer)
{
    log("check " + std::to_string(audioType) + " " + std::to_string(sampleFrequency) + " " + std::to_string(reserved)
        + (reservedPointer ? " pointer" : " null") + describeFields(settings));
    const Control control = readControl();
    if (callbacks) {
        // Exercise the allocator the way an encoder does for its scratch space.
        if (callbacks->alloc && callbacks->free)
            callbacks->free(callbacks->context, callbacks->alloc(callbacks->context, 64));
        for (const Report& entry : control.reports) {
            const auto slot = entry.level == "error" ? callbacks->errorPrintf
                : entry.level == "warning"           ? callbacks->warningPrintf
                : entry.level == "info"              ? callbacks->infoPrintf
                : entry.level == "silent"            ? callbacks->silentPrintf
                                                     : nullptr;
            if (slot)
                slot(callbacks->context, "%s", entry.text.c_str());
        }
    }
    return static_cast<int32_t>(control.number("check.result", 0));
}
#endif
}
