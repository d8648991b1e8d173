// Stand-ins for the companion modules (VL_TM_CONFIG, _ENCODER, _IMPORT,
// _LOCALIZE). Each logs "<module> <call> <arguments>" ("vl_enc_mpa check 4
// 48000") to vl_testmodules.log in the directory it was loaded from.
#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <veltrano/mpa_modules.h>

namespace {
void logCall(const std::string& line)
{
    // Hidden visibility: this function's address lies in the calling module.
    Dl_info info {};
    std::string path = dladdr(reinterpret_cast<const void*>(&logCall), &info) && info.dli_fname ? info.dli_fname : "";
    path = path.substr(0, path.rfind('/') + 1) + "vl_testmodules.log";
    if (FILE* const file = std::fopen(path.c_str(), "a")) {
        std::fprintf(file, "%s %s\n", VL_TM_NAME, line.c_str());
        std::fclose(file);
    }
}

#ifndef VL_TM_LOCALIZE
struct Attachment
{
    Attachment() { logCall("attach"); }
    ~Attachment() { logCall("detach"); }
} attachment;
#endif
} // namespace

extern "C" {
#if defined(VL_TM_CONFIG) && !defined(VL_TM_WITHOUT_ENTRY)
// Load and save functions that change nothing.
VL_EXPORT MPAConfigFileFunc MPAConfigGetAPIExt(int32_t id)
{
    const MPAConfigFileFunc nothing = [](EncoderSettings*, const char*) { return 0; };
    return id == VL_CONFIG_API_LOAD || id == VL_CONFIG_API_SAVE ? nothing : nullptr;
}
#elif defined(VL_TM_CONFIG)
VL_EXPORT int32_t MPAConfigVersion() // something else, so only the entry point is missing
{
    return 1;
}
#elif defined(VL_TM_ENCODER)
// Layer I, which a test recognises after a write-back.
VL_EXPORT int32_t mpegOutAudioDefaults(EncoderSettings* settings, int32_t)
{
    settings->layer = 1;
    return 0;
}
#ifndef VL_TM_WITHOUT_CHECK
// Passes, using the allocator as an encoder does for its scratch space.
VL_EXPORT int32_t mpegOutAudioChkSettings(
    EncoderCallbacks* callbacks, const EncoderSettings*, int32_t audioType, int32_t sampleFrequency, int32_t, void*)
{
    logCall("check " + std::to_string(audioType) + " " + std::to_string(sampleFrequency));
    callbacks->free(callbacks->context, callbacks->alloc(callbacks->context, 64));
    return 0;
}
#endif
#elif defined(VL_TM_IMPORT)
// Knows no file.
VL_EXPORT int32_t mpegInInfoInit(MpegInInfo* info)
{
    *info = MpegInInfo { static_cast<uint32_t>(sizeof *info), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, {} };
    return 0;
}
VL_EXPORT int32_t mpegInGetInfo(MpegInInfo*, const char*)
{
    return 1;
}
#elif defined(VL_TM_LOCALIZE)
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
