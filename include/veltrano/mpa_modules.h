/*
 * ABI of the companion modules that the dialog library loads at run time by
 * file name (<name>.so on Linux, <name>.dll on Windows):
 *
 *   vl_config_mpa      settings files and MPEG files      MPAConfigGetAPIExt
 *   vl_enc_mpa         defaults per audio type, check     mpegOutAudioDefaults,
 *   (or vl_mpgaout)                                       mpegOutAudioChkSettings
 *   vl_mfimport        MPEG audio stream information      mpegInInfoInit,
 *   (or vl_mpegin)                                        mpegInGetInfo
 *   gui_mpa_localize   message texts in the user language localizeSetLanguage,
 *                                                         localizeConvertStr
 *
 * Every entry point has C linkage. Results of 0 mean success unless stated.
 */
#ifndef VL_MPA_MODULES_H
#define VL_MPA_MODULES_H

#include "mpa_settings.h"
#include "vl_export.h"

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Callback table handed to the encoder module's check ---------------- */

/* 224 bytes, 28 pointer slots; unused slots are null. The printf-style slots
 * report one finding each, synchronously, while the check runs. */
typedef struct EncoderCallbacks
{
    void* context;
    void* (*alloc)(void* context, size_t size);
    void (*free)(void* context, void* block);
    void* reserved0[3];
    void (*errorPrintf)(void* context, const char* format, ...);
    void (*silentPrintf)(void* context, const char* format, ...);
    void (*warningPrintf)(void* context, const char* format, ...);
    void (*infoPrintf)(void* context, const char* format, ...);
    void* reserved1[18];
} EncoderCallbacks;

VL_STATIC_ASSERT(sizeof(EncoderCallbacks) == 224, "EncoderCallbacks must be 224 bytes");
VL_STATIC_ASSERT(offsetof(EncoderCallbacks, context) == 0, "context slot");
VL_STATIC_ASSERT(offsetof(EncoderCallbacks, alloc) == 8, "alloc slot");
VL_STATIC_ASSERT(offsetof(EncoderCallbacks, free) == 16, "free slot");
VL_STATIC_ASSERT(offsetof(EncoderCallbacks, errorPrintf) == 48, "errorPrintf slot");
VL_STATIC_ASSERT(offsetof(EncoderCallbacks, silentPrintf) == 56, "silentPrintf slot");
VL_STATIC_ASSERT(offsetof(EncoderCallbacks, warningPrintf) == 64, "warningPrintf slot");
VL_STATIC_ASSERT(offsetof(EncoderCallbacks, infoPrintf) == 72, "infoPrintf slot");
VL_STATIC_ASSERT(offsetof(EncoderCallbacks, reserved1) == 80, "reserved slots");

/* ---- Settings-file module: vl_config_mpa -------------------------------- */

enum {
    VL_CONFIG_API_LOAD = 0x2001, /* load settings from a settings or MPEG file */
    VL_CONFIG_API_SAVE = 0x2002 /* save settings to a settings file */
};

/* Load or save: settings block, NUL-terminated UTF-8 path; 0 on success. */
typedef int32_t (*MPAConfigFileFunc)(EncoderSettings* settings, const char* path);
/* Returns the function with the given id, or null for an unknown id. */
typedef MPAConfigFileFunc (*MPAConfigGetAPIExtFunc)(int32_t id);

/* ---- Encoder module: vl_enc_mpa ----------------------------------------- */

/* Fills bytes 0-4095 of the block with the defaults of the audio type. */
typedef int32_t (*MpegOutAudioDefaultsFunc)(EncoderSettings* settings, int32_t audioType);
/* Checks the settings for the audio type and sampling frequency, reporting
 * through the callback table; 0 means valid. The last two arguments are
 * always 0 and null. */
typedef int32_t (*MpegOutAudioChkSettingsFunc)(EncoderCallbacks* callbacks, const EncoderSettings* settings,
    int32_t audioType, int32_t sampleFrequency, int32_t reserved, void* reservedPointer);

/* ---- Import module: vl_mfimport ----------------------------------------- */

/* Container in which the audio stream was found. */
enum {
    VL_CONTAINER_UNKNOWN = 0,
    VL_CONTAINER_ELEMENTARY = 1,
    VL_CONTAINER_PROGRAM_STREAM = 2,
    VL_CONTAINER_TRANSPORT_STREAM = 3,
    VL_CONTAINER_ISO_MEDIA = 4,
    VL_CONTAINER_MXF = 5,
    VL_CONTAINER_DVD_IFO = 6
};

/* Description of the first MPEG-1/2 Layer I or II audio stream of a file.
 * mpegInInfoInit sets structSize and resets every other field; mpegInGetInfo
 * fills it. Fields use the codes of EncoderSettings. */
typedef struct MpegInInfo
{
    uint32_t structSize;
    int32_t container; /* VL_CONTAINER_* */
    int32_t mpegVersion; /* 1 = ISO/IEC 11172-3, 2 = ISO/IEC 13818-3 LSF */
    int32_t layer; /* 1 or 2 */
    int32_t mode; /* 0..3; joint stereo if any of the first frames uses it */
    int32_t bitrateIndex; /* 1..14 */
    int32_t bitrateKbps;
    int32_t sampleFrequency; /* Hz */
    int32_t emphasis; /* 0, 1 or 3 */
    int32_t privateBit;
    int32_t copyrightBit;
    int32_t originalBit;
    int32_t errorProtection;
    int32_t channels; /* 1 or 2 */
    int64_t audioOffset; /* file offset of the first confirmed frame, -1 if unknown */
    int32_t reserved[16];
} MpegInInfo;

typedef int32_t (*MpegInInfoInitFunc)(MpegInInfo* info);
/* 0 on success; non-zero when the file holds no usable Layer I/II stream. */
typedef int32_t (*MpegInGetInfoFunc)(MpegInInfo* info, const char* path);

/* ---- Localisation module: gui_mpa_localize ------------------------------ */

/* Language numbers: 7 German, 17 Japanese; anything else means untranslated. */
typedef int32_t (*LocalizeSetLanguageFunc)(uint16_t language);
/* Translates one of the encoder module's fixed message texts into the language
 * set last; returns the text itself when there is no translation. The result
 * stays valid for the life of the process. */
typedef const char* (*LocalizeConvertStrFunc)(const char* text);

/* Declarations of the entry points, for the modules that define them. */
#ifdef VL_DECLARE_MODULE_ENTRY_POINTS
VL_EXPORT MPAConfigFileFunc MPAConfigGetAPIExt(int32_t id);
VL_EXPORT int32_t mpegOutAudioDefaults(EncoderSettings* settings, int32_t audioType);
VL_EXPORT int32_t mpegOutAudioChkSettings(EncoderCallbacks* callbacks, const EncoderSettings* settings,
    int32_t audioType, int32_t sampleFrequency, int32_t reserved, void* reservedPointer);
VL_EXPORT int32_t mpegInInfoInit(MpegInInfo* info);
VL_EXPORT int32_t mpegInGetInfo(MpegInInfo* info, const char* path);
VL_EXPORT int32_t localizeSetLanguage(uint16_t language);
VL_EXPORT const char* localizeConvertStr(const char* text);
#endif

#ifdef __cplusplus
}
#endif

#endif
