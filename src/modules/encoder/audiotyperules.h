/*
 * What each audio type (target format) adds to the rules of ISO/IEC 11172-3
 * and 13818-3, and the settings it starts from. docs/encoder-rules.md lists
 * the same rows with the source of each.
 */
#ifndef VL_ENCODER_AUDIOTYPERULES_H
#define VL_ENCODER_AUDIOTYPERULES_H

#include <array>
#include <cstddef>
#include <veltrano/mpa_settings.h>

namespace vl::encoder {

enum class FrequencyRule {
    Any, // whatever the standards allow
    Mpeg1, // 32000, 44100 or 48000 Hz
    Exactly // only frequencyHz
};

enum class ModeRule {
    Any,
    NotMono, // stereo, joint stereo or dual channel
    StereoOnly
};

// The nine words of the encoder settings record that a default fills.
struct DefaultSettings
{
    int layer;
    int mode;
    int bitrateIndex;
    int psychModel;
    int emphasis;
    int errorProtection;
    int privateBit;
    int copyrightBit;
    int originalBit;
};

struct AudioTypeRules
{
    int audioType;
    const char* formatName; // proper name in messages: not translated
    // Null when the format carries MPEG audio; otherwise the audio codings it
    // does carry ("AC-3/LPCM"), and the check only warns.
    const char* otherAudio;
    bool layer2Only;
    FrequencyRule frequencyRule;
    int frequencyHz; // for FrequencyRule::Exactly
    ModeRule modeRule;
    int exactKbps; // 0: no single bitrate required
    int monoMinKbps; // range rules; 0 for no rule
    int monoMaxKbps;
    int twoChannelMinKbps;
    int twoChannelMaxKbps;
    int nativeFrequency; // the frequency the format is usually encoded at
    DefaultSettings defaults;
};

inline constexpr std::size_t audioTypeCount = 20;

// Every known audio type, in ascending id order.
const std::array<AudioTypeRules, audioTypeCount>& allAudioTypeRules();

// The row of an audio type id, or null when no audio type has that id.
const AudioTypeRules* findAudioTypeRules(int audioType);

// The rules used for ids that no audio type has: generic MPEG ("MPEG-2"),
// which adds nothing to the standards.
const AudioTypeRules& genericAudioTypeRules();

// Writes the audio type's defaults (generic MPEG for unknown ids) into bytes
// 0-4095 of the block; the unused bytes of that half become zero and the
// half from byte 4096 on is left alone.
void applyDefaults(EncoderSettings& settings, int audioType);

} // namespace vl::encoder

#endif
