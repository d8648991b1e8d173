/*
 * The encoder settings block shared by the host, the dialog library and the
 * companion modules. Its layout is an external format: 8192 bytes,
 * little-endian, fields at fixed offsets.
 *
 * Bytes 0-4095 are the encoder settings record; the dialog writes only these
 * back to the host. Bytes 4096-8191 are context the host supplies (audio type
 * and sampling frequency); the dialog never writes them back.
 */
#ifndef VL_MPA_SETTINGS_H
#define VL_MPA_SETTINGS_H

#include "vl_export.h"

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    VL_SETTINGS_SIZE = 8192,
    VL_SETTINGS_RECORD_SIZE = 4096 /* the half that goes back to the host */
};

/* Channel mode codes (the MPEG audio header's mode field). */
enum { VL_MODE_STEREO = 0, VL_MODE_JOINT_STEREO = 1, VL_MODE_DUAL_CHANNEL = 2, VL_MODE_MONO = 3 };

/* Emphasis codes (the header's emphasis field; 2 is reserved). */
enum { VL_EMPHASIS_NONE = 0, VL_EMPHASIS_50_15 = 1, VL_EMPHASIS_CCITT_J17 = 3 };

/* Audio type (preset) ids: target formats for which the encoder module knows
 * defaults and rules. Other ids are normalised by the dialog. */
enum {
    VL_AUDIO_MPEG1 = 0,
    VL_AUDIO_MPEG1_VCD = 1,
    VL_AUDIO_MPEG2 = 2,
    VL_AUDIO_MPEG2_SVCD = 3,
    VL_AUDIO_MPEG2_DVD = 4,
    VL_AUDIO_MPEG2_DVB = 8,
    VL_AUDIO_MPEG2_MICROMV = 9,
    VL_AUDIO_MPEG2_DVHS = 10,
    VL_AUDIO_MPEG2_ATSC = 11,
    VL_AUDIO_MPEG2_ATSC_HIGH = 12,
    VL_AUDIO_MPEG1_DVD = 13,
    VL_AUDIO_MPEG2_DVD_VR = 14,
    VL_AUDIO_MPEG1_DVD_VR = 15,
    VL_AUDIO_MPEG2_HDV_HD1 = 18,
    VL_AUDIO_MPEG2_HDV_HD2 = 19,
    VL_AUDIO_MPEG2_D10 = 23,
    VL_AUDIO_MPEG2_CABLELABS = 24,
    VL_AUDIO_MPEG2_HD_DVD = 25,
    VL_AUDIO_MPEG2_BLURAY = 27,
    VL_AUDIO_AVC_HD = 44
};

typedef struct EncoderSettings
{
    int32_t mode; /* 0 stereo, 1 joint stereo, 2 dual channel, 3 mono */
    int32_t layer; /* 1 Layer I, 2 Layer II */
    int32_t psychModel; /* 1 or 2 */
    int32_t bitrateIndex; /* header bitrate_index, 1..14 */
    int32_t emphasis; /* 0, 1 or 3 */
    int32_t privateBit; /* 0 or 1; any non-zero value counts as set */
    int32_t errorProtection; /* 0 off, 1 CRC on */
    int32_t copyrightBit; /* 0 or 1 */
    int32_t originalBit; /* 0 or 1 */
    uint8_t opaque[VL_SETTINGS_RECORD_SIZE - 9 * 4];
    int32_t audioType; /* audio type (preset) id */
    int32_t sampleFrequency; /* Hz; 16000, 22050 and 24000 select MPEG-2 LSF */
    uint8_t context[VL_SETTINGS_SIZE - VL_SETTINGS_RECORD_SIZE - 2 * 4];
} EncoderSettings;

VL_STATIC_ASSERT(sizeof(EncoderSettings) == 8192, "EncoderSettings must be 8192 bytes");
VL_STATIC_ASSERT(offsetof(EncoderSettings, mode) == 0, "mode offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, layer) == 4, "layer offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, psychModel) == 8, "psychModel offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, bitrateIndex) == 12, "bitrateIndex offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, emphasis) == 16, "emphasis offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, privateBit) == 20, "privateBit offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, errorProtection) == 24, "errorProtection offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, copyrightBit) == 28, "copyrightBit offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, originalBit) == 32, "originalBit offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, audioType) == 4096, "audioType offset");
VL_STATIC_ASSERT(offsetof(EncoderSettings, sampleFrequency) == 4100, "sampleFrequency offset");

#ifdef __cplusplus
}
#endif

#endif
