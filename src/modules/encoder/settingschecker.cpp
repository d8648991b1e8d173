#include "settingschecker.h"

#include "audiotyperules.h"
#include "mpegaudiotables.h"

#include <probe/mpegaudioheader.h>
#include <string>

namespace vl::encoder {

SettingsChecker::SettingsChecker(const EncoderCallbacks* callbacks, FormatConverter converter)
    : callbackTable(callbacks)
    , convert(converter)
{
}

const char* SettingsChecker::localized(const char* format, const char* arguments) const
{
    if (!convert)
        return format;
    // A translation with other conversions would make printf read arguments
    // that were never passed.
    const char* const converted = convert(format);
    return converted && formatTakes(converted, arguments) ? converted : format;
}

int SettingsChecker::check(const EncoderSettings* settings, int audioType, int sampleFrequency)
{
    errors = 0;
    if (!settings) {
        report<MessageId::NoSettings>();
        return errors;
    }
    const Findings found = checkStandards(*settings, sampleFrequency);
    checkAudioType(*settings, audioType, sampleFrequency, found);
    if (errors == 0)
        summarise(*settings, sampleFrequency);
    return errors;
}

SettingsChecker::Findings SettingsChecker::checkStandards(const EncoderSettings& s, int sampleFrequency)
{
    Findings found;

    found.layerValid = s.layer == 1 || s.layer == 2;
    if (!found.layerValid)
        report<MessageId::LayerInvalid>(s.layer);

    if (s.psychModel != 1 && s.psychModel != 2)
        report<MessageId::PsychModelInvalid>(s.psychModel);

    found.modeValid = s.mode >= VL_MODE_STEREO && s.mode <= VL_MODE_MONO;
    if (!found.modeValid)
        report<MessageId::ModeInvalid>(s.mode);

    found.bitrateValid = s.bitrateIndex >= 1 && s.bitrateIndex <= 14;
    if (s.bitrateIndex == 0)
        report<MessageId::BitrateFreeFormat>();
    else if (!found.bitrateValid)
        report<MessageId::BitrateIndexInvalid>(s.bitrateIndex);

    if (s.emphasis == 2)
        report<MessageId::EmphasisReserved>();
    else if (s.emphasis != VL_EMPHASIS_NONE && s.emphasis != VL_EMPHASIS_50_15 && s.emphasis != VL_EMPHASIS_CCITT_J17)
        report<MessageId::EmphasisInvalid>(s.emphasis);

    found.frequencyValid = isStandardFrequency(sampleFrequency);
    if (!found.frequencyValid)
        report<MessageId::SampleFrequencyInvalid>(sampleFrequency);

    // Only MPEG-1 Layer II ties the bitrate to the channel mode; the LSF
    // extension and Layer I allow every pair.
    found.combinationValid = found.layerValid && found.modeValid && found.bitrateValid && found.frequencyValid;
    if (found.combinationValid && s.layer == 2 && isMpeg1Frequency(sampleFrequency)) {
        const int kbps = bitrateKbps(1, 2, s.bitrateIndex);
        if (!mpeg1Layer2Allows(s.mode, kbps)) {
            found.combinationValid = false;
            switch (s.mode) {
            case VL_MODE_MONO:
                report<MessageId::MonoBitrateTooHigh>(kbps);
                break;
            case VL_MODE_STEREO:
                report<MessageId::StereoBitrateNotAllowed>(kbps);
                break;
            case VL_MODE_JOINT_STEREO:
                report<MessageId::JointStereoBitrateNotAllowed>(kbps);
                break;
            default:
                report<MessageId::DualChannelBitrateNotAllowed>(kbps);
                break;
            }
        }
    }

    checkFlag<MessageId::PrivateBitInvalid>(s.privateBit);
    checkFlag<MessageId::CopyrightBitInvalid>(s.copyrightBit);
    checkFlag<MessageId::OriginalBitInvalid>(s.originalBit);
    checkFlag<MessageId::ErrorProtectionInvalid>(s.errorProtection);
    return found;
}

void SettingsChecker::checkAudioType(
    const EncoderSettings& s, int audioType, int sampleFrequency, const Findings& found)
{
    const AudioTypeRules* rules = findAudioTypeRules(audioType);
    if (!rules) {
        report<MessageId::UnknownAudioType>(audioType);
        return;
    }
    if (rules->otherAudio) {
        report<MessageId::FormatWithoutMpegAudio>(rules->formatName, rules->otherAudio);
        return;
    }
    // A rule is judged only on fields the standards accepted, so that one
    // wrong value does not draw a second, format-specific message.
    if (rules->layer2Only && s.layer == 1)
        report<MessageId::FormatNeedsLayer2>(rules->formatName);
    const bool frequencyFits = found.frequencyValid && checkFormatFrequency(*rules, sampleFrequency);
    if (found.modeValid)
        checkFormatMode(*rules, s.mode);
    if (found.combinationValid && frequencyFits && s.layer == 2)
        checkFormatBitrate(
            *rules, s.mode, bitrateKbps(probe::mpegVersionForFrequency(sampleFrequency), 2, s.bitrateIndex));
}

bool SettingsChecker::checkFormatFrequency(const AudioTypeRules& rules, int sampleFrequency)
{
    switch (rules.frequencyRule) {
    case FrequencyRule::Mpeg1:
        if (isMpeg1Frequency(sampleFrequency))
            return true;
        report<MessageId::FormatFrequencyMpeg1>(sampleFrequency, rules.formatName);
        return false;
    case FrequencyRule::Exactly:
        if (sampleFrequency == rules.frequencyHz)
            return true;
        report<MessageId::FormatFrequencyOnly>(sampleFrequency, rules.formatName, rules.frequencyHz);
        return false;
    case FrequencyRule::Any:
        break;
    }
    return true;
}

void SettingsChecker::checkFormatMode(const AudioTypeRules& rules, int mode)
{
    if (rules.modeRule == ModeRule::NotMono && mode == VL_MODE_MONO)
        report<MessageId::FormatMonoNotAllowed>(rules.formatName);
    if (rules.modeRule != ModeRule::StereoOnly)
        return;
    if (mode == VL_MODE_JOINT_STEREO)
        report<MessageId::FormatStereoOnlyJointStereo>(rules.formatName);
    else if (mode == VL_MODE_DUAL_CHANNEL)
        report<MessageId::FormatStereoOnlyDualChannel>(rules.formatName);
    else if (mode == VL_MODE_MONO)
        report<MessageId::FormatStereoOnlyMono>(rules.formatName);
}

void SettingsChecker::checkFormatBitrate(const AudioTypeRules& rules, int mode, int kbps)
{
    if (rules.exactKbps != 0) {
        if (kbps != rules.exactKbps)
            report<MessageId::FormatBitrateOnly>(kbps, rules.formatName, rules.exactKbps);
        return;
    }
    if (mode == VL_MODE_MONO) {
        if (rules.monoMaxKbps != 0 && (kbps < rules.monoMinKbps || kbps > rules.monoMaxKbps))
            report<MessageId::FormatMonoBitrateRange>(kbps, rules.formatName, rules.monoMinKbps, rules.monoMaxKbps);
    } else if (rules.twoChannelMaxKbps != 0 && (kbps < rules.twoChannelMinKbps || kbps > rules.twoChannelMaxKbps)) {
        report<MessageId::FormatTwoChannelBitrateRange>(
            kbps, rules.formatName, rules.twoChannelMinKbps, rules.twoChannelMaxKbps);
    }
}

void SettingsChecker::summarise(const EncoderSettings& s, int sampleFrequency)
{
    const int version = probe::mpegVersionForFrequency(sampleFrequency);
    const char* layer = s.layer == 1 ? "I" : "II";
    const std::string kiloHertz = kiloHertzText(sampleFrequency);
    const int kbps = bitrateKbps(version, s.layer, s.bitrateIndex);
    switch (s.mode) {
    case VL_MODE_STEREO:
        report<MessageId::SummaryStereo>(version, layer, kiloHertz.c_str(), kbps);
        break;
    case VL_MODE_JOINT_STEREO:
        report<MessageId::SummaryJointStereo>(version, layer, kiloHertz.c_str(), kbps);
        break;
    case VL_MODE_DUAL_CHANNEL:
        report<MessageId::SummaryDualChannel>(version, layer, kiloHertz.c_str(), kbps);
        break;
    default:
        report<MessageId::SummaryMono>(version, layer, kiloHertz.c_str(), kbps);
        break;
    }
}

} // namespace vl::encoder
