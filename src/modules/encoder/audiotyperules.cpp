#include "audiotyperules.h"

#include <algorithm>
#include <cstring>

namespace vl::encoder {

namespace {

using F = FrequencyRule;
using M = ModeRule;

// Default words: layer, mode, bitrate index, psychoacoustic model,
// emphasis, error protection, private, copyright, original. The bitrate
// index is read from the MPEG-1 Layer II table at the native frequency:
// 10 = 192, 11 = 224, 12 = 256, 14 = 384 kbps.
constexpr DefaultSettings stereo224 { 2, VL_MODE_STEREO, 11, 1, VL_EMPHASIS_NONE, 0, 0, 0, 1 };
constexpr DefaultSettings stereo256 { 2, VL_MODE_STEREO, 12, 1, VL_EMPHASIS_NONE, 0, 0, 0, 1 };
constexpr DefaultSettings stereo384 { 2, VL_MODE_STEREO, 14, 1, VL_EMPHASIS_NONE, 0, 0, 0, 1 };

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

constexpr std::array<AudioTypeRules, audioTypeCount> ruleTable = { {
    { VL_AUDIO_MPEG1, "MPEG-1", nullptr, false, F::Mpeg1, 0, M::Any, 0, 0, 0, 0, 0, 48000, stereo224 },
    { VL_AUDIO_MPEG1_VCD, "VideoCD", nullptr, true, F::Exactly, 44100, M::NotMono, 224, 0, 0, 0, 0, 44100, stereo224 },
    { VL_AUDIO_MPEG2, "MPEG-2", nullptr, false, F::Any, 0, M::Any, 0, 0, 0, 0, 0, 48000, stereo224 },
    { VL_AUDIO_MPEG2_SVCD, "SuperVCD", nullptr, true, F::Exactly, 44100, M::Any, 0, 32, 192, 32, 384, 44100,
        stereo224 },
    dvdLike(VL_AUDIO_MPEG2_DVD, "DVD-Video", stereo224),
    { VL_AUDIO_MPEG2_DVB, "DVB", nullptr, true, F::Mpeg1, 0, M::Any, 0, 0, 0, 0, 0, 48000, stereo256 },
    { VL_AUDIO_MPEG2_MICROMV, "MICROMV", nullptr, true, F::Exactly, 48000, M::StereoOnly, 384, 0, 0, 0, 0, 48000,
        stereo384 },
    dvdLike(VL_AUDIO_MPEG2_DVHS, "D-VHS", stereo256),
    withoutMpegAudio(VL_AUDIO_MPEG2_ATSC, "ATSC", "AC-3", stereo256),
    withoutMpegAudio(VL_AUDIO_MPEG2_ATSC_HIGH, "ATSC", "AC-3", stereo384),
    dvdLike(VL_AUDIO_MPEG1_DVD, "DVD-Video", stereo224),
    dvdLike(VL_AUDIO_MPEG2_DVD_VR, "DVD-VR", stereo224),
    dvdLike(VL_AUDIO_MPEG1_DVD_VR, "DVD-VR", stereo224),
    { VL_AUDIO_MPEG2_HDV_HD1, "HDV", nullptr, true, F::Exactly, 48000, M::StereoOnly, 384, 0, 0, 0, 0, 48000,
        stereo384 },
    { VL_AUDIO_MPEG2_HDV_HD2, "HDV", nullptr, true, F::Exactly, 48000, M::StereoOnly, 384, 0, 0, 0, 0, 48000,
        stereo384 },
    withoutMpegAudio(VL_AUDIO_MPEG2_D10, "D10", "AES3 LPCM", stereo384),
    dvdLike(VL_AUDIO_MPEG2_CABLELABS, "CableLabs VOD", stereo256),
    withoutMpegAudio(VL_AUDIO_MPEG2_HD_DVD, "HD DVD", "AC-3/E-AC-3/LPCM", stereo384),
    withoutMpegAudio(VL_AUDIO_MPEG2_BLURAY, "Blu-ray Disc", "LPCM/AC-3/DTS", stereo384),
    withoutMpegAudio(VL_AUDIO_AVC_HD, "AVCHD", "AC-3/LPCM", stereo384),
} };

constexpr bool idsAscending()
{
    for (std::size_t i = 1; i < ruleTable.size(); ++i) {
        if (ruleTable[i - 1].audioType >= ruleTable[i].audioType)
            return false;
    }
    return true;
}
static_assert(idsAscending(), "audio type rows must be sorted by id");

} // namespace

const std::array<AudioTypeRules, audioTypeCount>& allAudioTypeRules()
{
    return ruleTable;
}

const AudioTypeRules* findAudioTypeRules(int audioType)
{
    const auto it = std::lower_bound(ruleTable.begin(), ruleTable.end(), audioType,
        [](const AudioTypeRules& row, int id) { return row.audioType < id; });
    return (it != ruleTable.end() && it->audioType == audioType) ? &*it : nullptr;
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

} // namespace vl::encoder
