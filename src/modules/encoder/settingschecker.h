/*
 * The settings check: judges an encoder settings record by ISO/IEC 11172-3
 * and 13818-3 and by the rules of an audio type, and reports each finding
 * through the printf slots of an EncoderCallbacks table while it runs.
 */
#ifndef VL_ENCODER_SETTINGSCHECKER_H
#define VL_ENCODER_SETTINGSCHECKER_H

#include "encodermessages.h"

#include <veltrano/mpa_modules.h>

namespace vl::encoder {

struct AudioTypeRules;

class SettingsChecker
{
public:
    // Turns a message format into the user's language, or returns it (or
    // null) when it has no translation: the localisation module's
    // localizeConvertStr.
    using FormatConverter = const char* (*)(const char* format);

    // callbacks may be null, and so may any of its slots: findings then go
    // unreported but are still counted. With a converter, each report uses
    // the converted format when it takes the same arguments as the original.
    explicit SettingsChecker(const EncoderCallbacks* callbacks, FormatConverter converter = nullptr);

    // Returns the number of errors reported: 0 exactly when the settings pass.
    // When they pass, one information line sums them up.
    int check(const EncoderSettings* settings, int audioType, int sampleFrequency);

private:
    // What the standards' checks found usable, for the rules built on them.
    struct Findings
    {
        bool layerValid = false;
        bool modeValid = false;
        bool bitrateValid = false;
        bool frequencyValid = false;
        bool combinationValid = false;
    };

    Findings checkStandards(const EncoderSettings& settings, int sampleFrequency);
    void checkAudioType(const EncoderSettings& settings, int audioType, int sampleFrequency, const Findings& found);
    bool checkFormatFrequency(const AudioTypeRules& rules, int sampleFrequency);
    void checkFormatMode(const AudioTypeRules& rules, int mode);
    void checkFormatBitrate(const AudioTypeRules& rules, int mode, int kbps);
    void summarise(const EncoderSettings& settings, int sampleFrequency);

    template<MessageId id, typename... Args>
    void report(Args... args)
    {
        constexpr const MessageText& text = message(id);
        static_assert(argumentsFit<Args...>(text.arguments), "report arguments do not fit the message format");
        if (text.level == MessageLevel::Error)
            ++errors;
        using Print = void (*)(void*, const char*, ...);
        Print print = nullptr;
        if (callbackTable) {
            print = text.level == MessageLevel::Error ? callbackTable->errorPrintf
                : text.level == MessageLevel::Warning ? callbackTable->warningPrintf
                                                      : callbackTable->infoPrintf;
        }
        if (print)
            print(callbackTable->context, localized(text.format, text.arguments), args...);
    }

    // The converted format, or `format` when there is no converter or the
    // conversion would not fit the arguments.
    const char* localized(const char* format, const char* arguments) const;

    // The header's flag words hold exactly 0 or 1.
    template<MessageId id>
    void checkFlag(int value)
    {
        if (value != 0 && value != 1)
            report<id>(value);
    }

    const EncoderCallbacks* const callbackTable;
    const FormatConverter convert;
    int errors = 0;
};

} // namespace vl::encoder

#endif
