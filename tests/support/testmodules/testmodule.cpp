// The test companion modules: plain C++ stand-ins for the settings-file
// (VL_TM_CONFIG), encoder (VL_TM_ENCODER), import (VL_TM_IMPORT) and
// localisation (VL_TM_LOCALIZE) modules. Each appends one line per call to
// vl_testmodules.log in the directory it was loaded from, so a test sees
// exactly the calls of the copies it placed there. Lines are
// "<module> <call> <arguments>", for example:
//
//   vl_enc_mpa attach                module mapped into the process
//   vl_enc_mpa detach                module unmapped again
//   vl_enc_mpa defaults 4
//   vl_enc_mpa check 4 48000
//   vl_config_mpa getapi 8193
//   gui_mpa_localize setLanguage 7
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <veltrano/mpa_modules.h>

namespace {
void logCall(const std::string& line)
{
    // Every module is built from this file with hidden visibility, so this
    // function's address lies inside the module that calls.
    Dl_info info {};
    std::string path = dladdr(reinterpret_cast<const void*>(&logCall), &info) && info.dli_fname ? info.dli_fname : "";
    path = path.substr(0, path.rfind('/') + 1) + "vl_testmodules.log";
    if (FILE* const file = std::fopen(path.c_str(), "a")) {
        std::fprintf(file, "%s %s\n", VL_TM_NAME, line.c_str());
        std::fclose(file);
    }
}

#ifndef VL_TM_LOCALIZE
__attribute__((constructor)) void attach()
{
    logCall("attach");
}
__attribute__((destructor)) void detach()
{
    logCall("detach");
}
#endif
} // namespace

extern "C" {
#if defined(VL_TM_CONFIG) && !defined(VL_TM_WITHOUT_ENTRY)
// Hands out load and save functions that change nothing.
VL_EXPORT MPAConfigFileFunc MPAConfigGetAPIExt(int32_t id)
{
    logCall("getapi " + std::to_string(id));
    if (id != VL_CONFIG_API_LOAD && id != VL_CONFIG_API_SAVE)
        return nullptr;
    return [](EncoderSettings*, const char* path) {
        logCall(std::string("file ") + path);
        return 0;
    };
}
#elif defined(VL_TM_CONFIG)
// Something else is exported, so only the entry point is missing.
VL_EXPORT int32_t MPAConfigVersion()
{
    return 1;
}
#elif defined(VL_TM_ENCODER)
// Mono, Layer I, model 2, index 11, original bit, and 17 in every byte from
// 36 on: values a test recognises after a write-back.
VL_EXPORT int32_t mpegOutAudioDefaults(EncoderSettings* settings, int32_t audioType)
{
    logCall("defaults " + std::to_string(audioType));
    const int32_t words[] = { VL_MODE_MONO, 1, 2, 11, 0, 0, 0, 0, 1 };
    std::memcpy(settings, words, sizeof words);
    std::memset(settings->opaque, 17, sizeof settings->opaque);
    return 0;
}
#ifndef VL_TM_WITHOUT_CHECK
// Passes; uses the allocator the way an encoder does for its scratch space.
VL_EXPORT int32_t mpegOutAudioChkSettings(
    EncoderCallbacks* callbacks, const EncoderSettings*, int32_t audioType, int32_t sampleFrequency, int32_t, void*)
{
    logCall("check " + std::to_string(audioType) + " " + std::to_string(sampleFrequency));
    callbacks->free(callbacks->context, callbacks->alloc(callbacks->context, 64));
    return 0;
}
#endif
#elif defined(VL_TM_IMPORT)
// Only records that it was loaded and called.
VL_EXPORT int32_t mpegInInfoInit(MpegInInfo* info)
{
    logCall("infoInit");
    *info = MpegInInfo { static_cast<uint32_t>(sizeof *info), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, {} };
    return 0;
}
VL_EXPORT int32_t mpegInGetInfo(MpegInInfo*, const char* path)
{
    logCall(std::string("getInfo ") + path);
    return 1;
}
#elif defined(VL_TM_LOCALIZE)
// Records the language it is given and converts nothing.
VL_EXPORT int32_t localizeSetLanguage(uint16_t language)
{
    logCall("setLanguage " + std::to_string(language));
    return 0;
}
VL_EXPORT const char* localizeConvertStr(const char* text)
{
    return text;
}
#endif
}
