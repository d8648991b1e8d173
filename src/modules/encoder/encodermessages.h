/*
 * The encoder module's message texts: one printf format per finding of the
 * settings check. The texts are fixed so that the localisation module can map
 * each of them to a German or Japanese format with the same conversions in the
 * same order; both modules compile this one table.
 *
 * Words that a translation must be able to change (mode names, "or", ...) are
 * never passed as %s arguments: where a message depends on them there is one
 * format per variant. %s only carries proper names of target formats and
 * numbers written as text (such as "44.1").
 */
#ifndef VL_ENCODER_ENCODERMESSAGES_H
#define VL_ENCODER_ENCODERMESSAGES_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vl::encoder {

enum class MessageLevel { Info, Warning, Error };

enum class MessageId : int {
    NoSettings,
    LayerInvalid,
    PsychModelInvalid,
    ModeInvalid,
    BitrateFreeFormat,
    BitrateIndexInvalid,
    EmphasisReserved,
    EmphasisInvalid,
    SampleFrequencyInvalid,
    MonoBitrateTooHigh,
    StereoBitrateNotAllowed,
    JointStereoBitrateNotAllowed,
    DualChannelBitrateNotAllowed,
    PrivateBitInvalid,
    CopyrightBitInvalid,
    OriginalBitInvalid,
    ErrorProtectionInvalid,
    FormatNeedsLayer2,
    FormatFrequencyOnly,
    FormatFrequencyMpeg1,
    FormatBitrateOnly,
    FormatMonoBitrateRange,
    FormatTwoChannelBitrateRange,
    FormatMonoNotAllowed,
    FormatStereoOnlyJointStereo,
    FormatStereoOnlyDualChannel,
    FormatStereoOnlyMono,
    FormatWithoutMpegAudio,
    UnknownAudioType,
    SummaryStereo,
    SummaryJointStereo,
    SummaryDualChannel,
    SummaryMono,
    Count
};

struct MessageText
{
    MessageId id;
    MessageLevel level;
    const char* format;
    // One letter per conversion of the format, in order: 'd' int, 's' text.
    const char* arguments;
};

inline constexpr MessageText messageTexts[] = {
    { MessageId::NoSettings, MessageLevel::Error, "No settings were given to check.", "" },
    { MessageId::LayerInvalid, MessageLevel::Error, "Layer %d is not supported; choose Layer I (1) or Layer II (2).",
        "d" },
    { MessageId::PsychModelInvalid, MessageLevel::Error, "Psychoacoustic model %d does not exist; choose model 1 or 2.",
        "d" },
    { MessageId::ModeInvalid, MessageLevel::Error,
        "Channel mode %d is not defined; choose 0 (stereo), 1 (joint stereo), 2 (dual channel) or 3 (mono).", "d" },
    { MessageId::BitrateFreeFormat, MessageLevel::Error,
        "Bitrate index 0 means free format, which the encoder does not write; choose a bitrate index from 1 to 14.",
        "" },
    { MessageId::BitrateIndexInvalid, MessageLevel::Error,
        "Bitrate index %d lies outside the bitrate tables of ISO/IEC 11172-3 and 13818-3; choose a bitrate index from "
        "1 "
        "to 14.",
        "d" },
    { MessageId::EmphasisReserved, MessageLevel::Error,
        "Emphasis 2 is reserved by ISO/IEC 11172-3; choose 0 (none), 1 (50/15 microseconds) or 3 (CCITT J.17).", "" },
    { MessageId::EmphasisInvalid, MessageLevel::Error,
        "Emphasis %d is not defined; choose 0 (none), 1 (50/15 microseconds) or 3 (CCITT J.17).", "d" },
    { MessageId::SampleFrequencyInvalid, MessageLevel::Error,
        "Sampling frequency %d Hz is not defined for MPEG audio; choose 32000, 44100 or 48000 Hz (MPEG-1) or 16000, "
        "22050 or 24000 Hz (MPEG-2 lower sampling frequencies).",
        "d" },
    { MessageId::MonoBitrateTooHigh, MessageLevel::Error,
        "Bitrate %d kbps is not allowed for mono in MPEG-1 Layer II; choose 32 to 192 kbps.", "d" },
    { MessageId::StereoBitrateNotAllowed, MessageLevel::Error,
        "Bitrate %d kbps is not allowed for stereo in MPEG-1 Layer II; choose 64 kbps or more, except 80 kbps.", "d" },
    { MessageId::JointStereoBitrateNotAllowed, MessageLevel::Error,
        "Bitrate %d kbps is not allowed for joint stereo in MPEG-1 Layer II; choose 64 kbps or more, except 80 kbps.",
        "d" },
    { MessageId::DualChannelBitrateNotAllowed, MessageLevel::Error,
        "Bitrate %d kbps is not allowed for dual channel in MPEG-1 Layer II; choose 64 kbps or more, except 80 kbps.",
        "d" },
    { MessageId::PrivateBitInvalid, MessageLevel::Error, "The private bit is %d; it must be 0 or 1.", "d" },
    { MessageId::CopyrightBitInvalid, MessageLevel::Error, "The copyright bit is %d; it must be 0 or 1.", "d" },
    { MessageId::OriginalBitInvalid, MessageLevel::Error, "The original bit is %d; it must be 0 or 1.", "d" },
    { MessageId::ErrorProtectionInvalid, MessageLevel::Error, "Error protection is %d; it must be 0 (off) or 1 (on).",
        "d" },
    { MessageId::FormatNeedsLayer2, MessageLevel::Error, "Layer I is not allowed for %s; choose Layer II.", "s" },
    { MessageId::FormatFrequencyOnly, MessageLevel::Error, "Sampling frequency %d Hz is not allowed for %s; use %d Hz.",
        "dsd" },
    { MessageId::FormatFrequencyMpeg1, MessageLevel::Error,
        "Sampling frequency %d Hz is not allowed for %s; use 32000, 44100 or 48000 Hz.", "ds" },
    { MessageId::FormatBitrateOnly, MessageLevel::Error, "Bitrate %d kbps is not allowed for %s; use %d kbps.", "dsd" },
    { MessageId::FormatMonoBitrateRange, MessageLevel::Error,
        "Bitrate %d kbps is not allowed for mono in %s; choose %d to %d kbps.", "dsdd" },
    { MessageId::FormatTwoChannelBitrateRange, MessageLevel::Error,
        "Bitrate %d kbps is not allowed for two channels in %s; choose %d to %d kbps.", "dsdd" },
    { MessageId::FormatMonoNotAllowed, MessageLevel::Error,
        "Mono is not allowed for %s; choose stereo, joint stereo or dual channel.", "s" },
    { MessageId::FormatStereoOnlyJointStereo, MessageLevel::Error, "Joint stereo is not allowed for %s; choose stereo.",
        "s" },
    { MessageId::FormatStereoOnlyDualChannel, MessageLevel::Error, "Dual channel is not allowed for %s; choose stereo.",
        "s" },
    { MessageId::FormatStereoOnlyMono, MessageLevel::Error, "Mono is not allowed for %s; choose stereo.", "s" },
    { MessageId::FormatWithoutMpegAudio, MessageLevel::Warning,
        "%s does not carry MPEG audio by its specification (it uses %s); players may reject this audio.", "ss" },
    { MessageId::UnknownAudioType, MessageLevel::Warning,
        "Audio type %d is unknown; only the rules of ISO/IEC 11172-3 and 13818-3 were checked.", "d" },
    { MessageId::SummaryStereo, MessageLevel::Info, "MPEG-%d Layer %s, %s kHz, %d kbps, stereo.", "dssd" },
    { MessageId::SummaryJointStereo, MessageLevel::Info, "MPEG-%d Layer %s, %s kHz, %d kbps, joint stereo.", "dssd" },
    { MessageId::SummaryDualChannel, MessageLevel::Info, "MPEG-%d Layer %s, %s kHz, %d kbps, dual channel.", "dssd" },
    { MessageId::SummaryMono, MessageLevel::Info, "MPEG-%d Layer %s, %s kHz, %d kbps, mono.", "dssd" },
};

inline constexpr std::size_t messageCount = static_cast<std::size_t>(MessageId::Count);

constexpr const MessageText& message(MessageId id)
{
    return messageTexts[static_cast<std::size_t>(id)];
}

// Each row sits at the index of its id, so message() needs no search.
constexpr bool rowsInIdOrder()
{
    for (std::size_t i = 0; i < messageCount; ++i) {
        if (static_cast<std::size_t>(messageTexts[i].id) != i)
            return false;
    }
    return true;
}
static_assert(sizeof(messageTexts) / sizeof(messageTexts[0]) == messageCount, "one row per message id");
static_assert(rowsInIdOrder(), "message rows must follow the order of MessageId");

// Reduces a printf format to one letter per conversion ('d' for the integer
// conversions d and i, 's' for s, the conversion letter itself otherwise).
// Flags, width, precision and length modifiers are skipped; "%%" is no
// conversion. Writes at most capacity - 1 letters and a terminating zero and
// returns false when the format does not fit or ends inside a conversion.
constexpr bool conversionLetters(const char* format, char* out, std::size_t capacity)
{
    std::size_t n = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0' || *p == '\'')
            ++p;
        while ((*p >= '0' && *p <= '9') || *p == '.' || *p == '*')
            ++p;
        while (*p == 'h' || *p == 'l' || *p == 'j' || *p == 'z' || *p == 't' || *p == 'L')
            ++p;
        if (*p == '\0' || n + 1 >= capacity)
            return false;
        out[n++] = (*p == 'i') ? 'd' : *p;
    }
    out[n] = '\0';
    return true;
}

constexpr bool sameText(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// True when the format's conversions are exactly the given argument letters.
constexpr bool formatTakes(const char* format, const char* arguments)
{
    char letters[16] = {};
    return conversionLetters(format, letters, sizeof letters) && sameText(letters, arguments);
}

constexpr bool allFormatsMatchArguments()
{
    for (const MessageText& m : messageTexts) {
        if (!formatTakes(m.format, m.arguments))
            return false;
    }
    return true;
}
static_assert(allFormatsMatchArguments(), "a message format disagrees with its argument letters");

// The argument letter of a C++ type passed to a report.
template<typename T>
constexpr char argumentLetter()
{
    using U = std::decay_t<T>;
    if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*>)
        return 's';
    else if constexpr (std::is_integral_v<U> && std::is_signed_v<U> && sizeof(U) <= sizeof(int))
        return 'd';
    else
        return '?';
}

template<typename... Args>
constexpr bool argumentsFit(const char* letters)
{
    const char given[] = { argumentLetter<Args>()..., '\0' };
    return sameText(given, letters);
}

} // namespace vl::encoder

#endif
