#include "audiotyperules.h"

#include <algorithm>
#include <cstring>

namespace vl::enc {

namespace {

using F = FrequencyRule;
using M = ModeRule;

// Default words: layer, mode, bitrate index, psychoacoustic model,
// emphasis, error protection, private, copyright, original. The bitrate
// index is read from the MPEG-1 Layer II table at the native frequency:
// 10 = 192, 11 = 224, 12 = 256, 14 = 384 kbps.
constexpr DefaultSettings kStereo224 { 2, VL_MODE_STEREO, 11, 1, VL_EMPHASIS_NONE, 0, 0, 0, 1 };
constexpr DefaultSettings kStereo256 { 2, VL_MODE_STEREO, 12, 1, VL_EMPHASIS_NONE, 0, 0, 0, 1 };
constexpr DefaultSettings kStereo384 { 2, VL_MODE_STEREO, 14, 1, VL_EMPHASIS_NONE, 0, 0, 0, 1 };

// Layer II, 48 kHz, mono 32-192 kbps, two channels 64-384 kbps: the DVD
// rule, also used as the conservative rule for formats whose MPEG audio
// could not be pinned down further.
constexpr AudioTypeRules dvdLike(int id, const char* name, DefaultSettings defaults)
{
    return { id, name, nullptr, true, F::Exactly, 48000, M::Any, 0, 32, 192, 64, 384, 48000, defaults };
}

// Formats whose specification has no MPEG audio: only a warning.
constexpr AudioTypeRules withoutMpegAudio(int id, const char* name, const char* audio, DefaultSettings defaults)
{
    return { id, name, audio, false, F::Any, 0, M::Any, 0, 0, 0, 0, 0, 48000, defaults };
}

constexpr std::array<AudioTypeRules, kAudioTypeCount> kRules = { {
    { VL_AUDIO_MPEG1, "MPEG-1", nullptr, false, F::Mpeg1, 0, M::Any, 0, 0, 0, 0, 0, 48000, kStereo224 },
    { VL_AUDIO_MPEG1_VCD, "VideoCD", nullptr, true, F::Exactly, 44100, M::NotMono, 224, 0, 0, 0, 0, 44100, kStereo224 },
    { VL_AUDIO_MPEG2, "MPEG-2", nullptr, false, F::Any, 0, M::Any, 0, 0, 0, 0, 0, 48000, kStereo224 },
    { VL_AUDIO_MPEG2_SVCD, "SuperVCD", nullptr, true, F::Exactly, 44100, M::Any, 0, 32, 192, 32, 384, 44100,
        kStereo224 },
    dvdLike(VL_AUDIO_MPEG2_DVD, "DVD-Video", kStereo224),
    { VL_AUDIO_MPEG2_DVB, "DVB", nullptr, true, F::Mpeg1, 0, M::Any, 0, 0, 0, 0, 0, 48000, kStereo256 },
    { VL_AUDIO_MPEG2_MICROMV, "MICROMV", nullptr, true, F::Exactly, 48000, M::StereoOnly, 384, 0, 0, 0, 0, 48000,
        kStereo384 },
    dvdLike(VL_AUDIO_MPEG2_DVHS, "D-VHS", kStereo256),
    withoutMpegAudio(VL_AUDIO_MPEG2_ATSC, "ATSC", "AC-3", kStereo256),
    withoutMpegAudio(VL_AUDIO_MPEG2_ATSC_HIGH, "ATSC", "AC-3", kStereo384),
    dvdLike(VL_AUDIO_MPEG1_DVD, "DVD-Video", kStereo224),
    dvdLike(VL_AUDIO_MPEG2_DVD_VR, "DVD-VR", kStereo224),
    dvdLike(VL_AUDIO_MPEG1_DVD_VR, "DVD-VR", kStereo224),
    { VL_AUDIO_MPEG2_HDV_HD1, "HDV", nullptr, true, F::Exactly, 48000, M::StereoOnly, 384, 0, 0, 0, 0, 48000,
        kStereo384 },
    { VL_AUDIO_MPEG2_HDV_HD2, "HDV", nullptr, true, F::Exactly, 48000, M::StereoOnly, 384, 0, 0, 0, 0, 48000,
        kStereo384 },
    withoutMpegAudio(VL_AUDIO_MPEG2_D10, "D10", "AES3 LPCM", kStereo384),
    dvdLike(VL_AUDIO_MPEG2_CABLELABS, "CableLabs VOD", kStereo256),
    withoutMpegAudio(VL_AUDIO_MPEG2_HD_DVD, "HD DVD", "AC-3/E-AC-3/LPCM", kStereo384),
    withoutMpegAudio(VL_AUDIO_MPEG2_BLURAY, "Blu-ray Disc", "LPCM/AC-3/DTS", kStereo384),
    withoutMpegAudio(VL_AUDIO_AVC_HD, "AVCHD", "AC-3/LPCM", kStereo384),
} };

constexpr bool idsAscending()
{
    for (std::size_t i = 1; i < kRules.size(); ++i) {
        if (kRules[i - 1].audioType >= kRules[i].audioType)
            return false;
    }
    return true;
}
static_assert(idsAscending(), "audio type rows must be sorted by id");

} // namespace

const std::array<AudioTypeRules, kAudioTypeCount>& allAudioTypeRules()
{
    return kRules;
}

const AudioTypeRules* findAudioTypeRules(int audioType)
{
    const auto it = std::lower_bound(
        kRules.begin(), kRules.end(), audioType, [](const AudioTypeRules& row, int id) { return row.audioType < id; });
    return (it != kRules.end() && it->audioType == audioType) ? &*it : nullptr;
}

const AudioTypeRules& genericAudioTypeRules()
{
    return *findAudioTypeRules(VL_AUDIO_MPEG2);
}

void applyDefaults(EncoderSettings& settings, int audioType)
{
    const AudioTypeRules* rules = findAudioTypeRules(audioType);
    const DefaultSettings& d = (rules ? *rules : genericAudioTypeRules()).defaults;
    std::memset(&settings, 0, VL_SETTINGS_RECORD_SIZE);
    settings.layer = d.layer;
    settings.mode = d.mode;
    settings.bitrateIndex = d.bitrateIndex;
    settings.psychModel = d.psychModel;
    settings.emphasis = d.emphasis;
    settings.errorProtection = d.errorProtection;
    settings.privateBit = d.privateBit;
    settings.copyrightBit = d.copyrightBit;
    settings.originalBit = d.originalBit;
}

} // namespace vl::enc
