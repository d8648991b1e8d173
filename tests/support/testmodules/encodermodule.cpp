// Test encoder module: fixed defaults and a check that passes. With
// VL_TM_WITHOUT_CHECK the module lacks mpegOutAudioChkSettings.

#include "calllog.h"

#include <cstring>
#include <veltrano/mpa_modules.h>

namespace {
VL_TM_LOG_LIFETIME
} // namespace

extern "C" {

// Mono, Layer I, model 2, index 11, original bit, and 17 in every byte
// from 36 on: values a test recognises after a write-back.
VL_EXPORT int32_t mpegOutAudioDefaults(EncoderSettings* settings, int32_t audioType)
{
    logCall("defaults " + std::to_string(audioType));
    if (!settings)
        return 1;
    std::memset(settings->opaque, 17, sizeof settings->opaque);
    settings->mode = VL_MODE_MONO;
    settings->layer = 1;
    settings->psychModel = 2;
    settings->bitrateIndex = 11;
    settings->emphasis = settings->privateBit = settings->errorProtection = settings->copyrightBit = 0;
    settings->originalBit = 1;
    return 0;
}

#ifndef VL_TM_WITHOUT_CHECK
VL_EXPORT int32_t mpegOutAudioChkSettings(EncoderCallbacks* callbacks, const EncoderSettings* /*settings*/,
    int32_t audioType, int32_t sampleFrequency, int32_t /*reserved*/, void* /*reservedPointer*/)
{
    logCall("check " + std::to_string(audioType) + " " + std::to_string(sampleFrequency));
    // Exercise the allocator the way an encoder does for its scratch space.
    if (callbacks && callbacks->alloc && callbacks->free)
        callbacks->free(callbacks->context, callbacks->alloc(callbacks->context, 64));
    return 0;
}
#endif
}
