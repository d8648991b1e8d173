// The settings check against the rules of ISO/IEC 11172-3 and 13818-3, using
// the generic audio type, which adds no rule of its own.
#include "messagerecorder.h"
#include "settingschecker.h"

#include <cstring>
#include <gtest/gtest.h>

using vl::encoder::MessageId;
using vl::encoder::MessageLevel;

namespace {

using S = EncoderSettings;
using Fields = std::vector<std::pair<int32_t S::*, int32_t>>;

// Layer II stereo at 224 kbit/s (index 11 at MPEG-1), then `change`.
EncoderSettings validSettings(const Fields& change = {})
{
    EncoderSettings s;
    std::memset(&s, 0, sizeof s);
    s.layer = 2;
    s.mode = VL_MODE_STEREO;
    s.bitrateIndex = 11;
    s.psychModel = 1;
    s.emphasis = VL_EMPHASIS_NONE;
    for (const auto& [field, value] : change)
        s.*field = value;
    return s;
}

struct StandardCase
{
    const char* name;
    Fields change;
    int sampleFrequency;
    std::vector<MessageId> expected;
    const char* fragment; // must appear in the reported text
};

const StandardCase standardCases[] = {
    { "LayerZero", { { &S::layer, 0 } }, 48000, { MessageId::LayerInvalid }, "Layer 0 " },
    { "LayerThree", { { &S::layer, 3 } }, 48000, { MessageId::LayerInvalid }, "Layer 3 " },
    { "PsychModelZero", { { &S::psychModel, 0 } }, 48000, { MessageId::PsychModelInvalid }, "model 0 " },
    { "PsychModelThree", { { &S::psychModel, 3 } }, 48000, { MessageId::PsychModelInvalid }, "model 3 " },
    { "ModeFour", { { &S::mode, 4 } }, 48000, { MessageId::ModeInvalid }, "mode 4 " },
    { "ModeNegative", { { &S::mode, -1 } }, 48000, { MessageId::ModeInvalid }, "mode -1 " },
    { "FreeFormat", { { &S::bitrateIndex, 0 } }, 48000, { MessageId::BitrateFreeFormat }, "index 0 means free format" },
    { "BitrateIndexFifteen", { { &S::bitrateIndex, 15 } }, 48000, { MessageId::BitrateIndexInvalid }, "index 15 " },
    { "BitrateIndexNegative", { { &S::bitrateIndex, -3 } }, 48000, { MessageId::BitrateIndexInvalid }, "index -3 " },
    { "EmphasisReserved", { { &S::emphasis, 2 } }, 48000, { MessageId::EmphasisReserved }, "Emphasis 2 is reserved" },
    { "EmphasisFour", { { &S::emphasis, 4 } }, 48000, { MessageId::EmphasisInvalid }, "Emphasis 4 " },
    { "FrequencyZero", {}, 0, { MessageId::SampleFrequencyInvalid }, "frequency 0 Hz" },
    { "Frequency11025", {}, 11025, { MessageId::SampleFrequencyInvalid }, "frequency 11025 Hz" },
    { "Frequency96000", {}, 96000, { MessageId::SampleFrequencyInvalid }, "frequency 96000 Hz" },
    { "Mono224", { { &S::mode, VL_MODE_MONO } }, 48000, { MessageId::MonoBitrateTooHigh }, "Bitrate 224 kbps" },
    { "Mono384", { { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 14 } }, 44100, { MessageId::MonoBitrateTooHigh },
        "Bitrate 384 kbps is not allowed for mono in MPEG-1 Layer II; choose 32 to 192 kbps." },
    { "Stereo32", { { &S::bitrateIndex, 1 } }, 32000, { MessageId::StereoBitrateNotAllowed }, "Bitrate 32 kbps" },
    { "JointStereo48", { { &S::mode, VL_MODE_JOINT_STEREO }, { &S::bitrateIndex, 2 } }, 48000,
        { MessageId::JointStereoBitrateNotAllowed }, "Bitrate 48 kbps" },
    { "DualChannel56", { { &S::mode, VL_MODE_DUAL_CHANNEL }, { &S::bitrateIndex, 3 } }, 44100,
        { MessageId::DualChannelBitrateNotAllowed }, "Bitrate 56 kbps" },
    { "Stereo80", { { &S::bitrateIndex, 5 } }, 48000, { MessageId::StereoBitrateNotAllowed }, "except 80 kbps" },
    { "PrivateBitTwo", { { &S::privateBit, 2 } }, 48000, { MessageId::PrivateBitInvalid }, "private bit is 2" },
    { "CopyrightBitNegative", { { &S::copyrightBit, -1 } }, 48000, { MessageId::CopyrightBitInvalid },
        "copyright bit is -1" },
    { "OriginalBitFive", { { &S::originalBit, 5 } }, 48000, { MessageId::OriginalBitInvalid }, "original bit is 5" },
    { "ErrorProtectionTwo", { { &S::errorProtection, 2 } }, 48000, { MessageId::ErrorProtectionInvalid },
        "Error protection is 2" },
    // Several faults: each is reported once, in the order of the fields.
    { "LayerModeAndFrequency", { { &S::layer, 5 }, { &S::mode, 7 } }, 8000,
        { MessageId::LayerInvalid, MessageId::ModeInvalid, MessageId::SampleFrequencyInvalid }, "mode 7 " },
    // Without a valid frequency the MPEG version is unknown, so the mode and
    // bitrate pair is not judged.
    { "MonoAtUnknownFrequency", { { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 14 } }, 12345,
        { MessageId::SampleFrequencyInvalid }, "frequency 12345 Hz" },
};

class StandardRules : public testing::TestWithParam<StandardCase>
{
};

TEST_P(StandardRules, ReportsEachFaultOnceAndFails)
{
    const StandardCase& c = GetParam();
    const EncoderSettings s = validSettings(c.change);
    MessageRecorder recorder;
    const int result = vl::encoder::SettingsChecker(recorder.callbacks()).check(&s, VL_AUDIO_MPEG2, c.sampleFrequency);

    EXPECT_EQ(recorder.ids(), c.expected);
    EXPECT_EQ(result, static_cast<int>(c.expected.size()));
    EXPECT_EQ(recorder.count(MessageLevel::Error), static_cast<int>(c.expected.size()));
    EXPECT_EQ(recorder.count(MessageLevel::Info), 0) << "no summary for failing settings";
    EXPECT_NE(recorder.allText().find(c.fragment), std::string::npos) << recorder.allText();
}

INSTANTIATE_TEST_SUITE_P(Check, StandardRules, testing::ValuesIn(standardCases),
    [](const testing::TestParamInfo<StandardCase>& info) { return info.param.name; });

struct PassingCase
{
    const char* name;
    int sampleFrequency;
    int layer;
    int mode;
    int bitrateIndex;
    const char* summary;
};

const PassingCase passingCases[] = {
    { "Mpeg1Layer2JointStereo", 48000, 2, VL_MODE_JOINT_STEREO, 11,
        "MPEG-1 Layer II, 48 kHz, 224 kbps, joint stereo." },
    { "Mpeg1Layer1Stereo", 44100, 1, VL_MODE_STEREO, 14, "MPEG-1 Layer I, 44.1 kHz, 448 kbps, stereo." },
    { "Mpeg1Layer1MonoHighRate", 32000, 1, VL_MODE_MONO, 14, "MPEG-1 Layer I, 32 kHz, 448 kbps, mono." },
    { "Mpeg1Layer2MonoLowest", 32000, 2, VL_MODE_MONO, 1, "MPEG-1 Layer II, 32 kHz, 32 kbps, mono." },
    { "Mpeg1Layer2Mono192", 48000, 2, VL_MODE_MONO, 10, "MPEG-1 Layer II, 48 kHz, 192 kbps, mono." },
    { "Mpeg1Layer2Stereo64", 44100, 2, VL_MODE_DUAL_CHANNEL, 4, "MPEG-1 Layer II, 44.1 kHz, 64 kbps, dual channel." },
    { "LsfLayer2Mono", 22050, 2, VL_MODE_MONO, 14, "MPEG-2 Layer II, 22.05 kHz, 160 kbps, mono." },
    { "LsfLayer2StereoLowest", 16000, 2, VL_MODE_STEREO, 1, "MPEG-2 Layer II, 16 kHz, 8 kbps, stereo." },
    { "LsfLayer1DualChannel", 24000, 1, VL_MODE_DUAL_CHANNEL, 14, "MPEG-2 Layer I, 24 kHz, 256 kbps, dual channel." },
};

class PassingSettings : public testing::TestWithParam<PassingCase>
{
};

TEST_P(PassingSettings, ReturnsZeroWithOneSummaryLine)
{
    const PassingCase& c = GetParam();
    const EncoderSettings s = validSettings({ { &S::layer, c.layer }, { &S::mode, c.mode },
        { &S::bitrateIndex, c.bitrateIndex }, { &S::emphasis, VL_EMPHASIS_CCITT_J17 }, { &S::privateBit, 1 },
        { &S::copyrightBit, 1 }, { &S::originalBit, 1 }, { &S::errorProtection, 1 } });
    MessageRecorder recorder;
    EXPECT_EQ(vl::encoder::SettingsChecker(recorder.callbacks()).check(&s, VL_AUDIO_MPEG2, c.sampleFrequency), 0);
    ASSERT_EQ(recorder.messages().size(), 1u) << recorder.allText();
    EXPECT_EQ(recorder.messages()[0].level, MessageLevel::Info);
    EXPECT_EQ(recorder.messages()[0].text, c.summary);
}

INSTANTIATE_TEST_SUITE_P(Check, PassingSettings, testing::ValuesIn(passingCases),
    [](const testing::TestParamInfo<PassingCase>& info) { return info.param.name; });

// Over a wide grid of good and bad values: the result is the number of errors
// reported, the summary appears exactly when there is none, every report uses
// one of the table's formats at the table's level, and the callbacks' context
// is passed through.
TEST(CheckContract, ResultCountsReportedErrors)
{
    const int types[] = { VL_AUDIO_MPEG1, VL_AUDIO_MPEG1_VCD, VL_AUDIO_MPEG2, VL_AUDIO_MPEG2_DVD,
        VL_AUDIO_MPEG2_HDV_HD1, VL_AUDIO_MPEG2_BLURAY, 5 };
    const int frequencies[] = { 0, 16000, 24000, 32000, 44100, 48000, 96000 };
    int passing = 0;
    int failing = 0;
    for (int type : types)
        for (int frequency : frequencies)
            for (int layer = 0; layer <= 3; ++layer)
                for (int mode = -1; mode <= 4; ++mode)
                    for (int index : { -1, 0, 1, 5, 11, 14, 15 })
                        for (int emphasis = 0; emphasis <= 3; ++emphasis) {
                            const EncoderSettings s = validSettings({ { &S::layer, layer }, { &S::mode, mode },
                                { &S::bitrateIndex, index }, { &S::emphasis, emphasis } });
                            MessageRecorder recorder;
                            const int result
                                = vl::encoder::SettingsChecker(recorder.callbacks()).check(&s, type, frequency);
                            const int errors = recorder.count(MessageLevel::Error);
                            ASSERT_EQ(result, errors) << recorder.allText();
                            ASSERT_EQ(recorder.count(MessageLevel::Info), result == 0 ? 1 : 0) << recorder.allText();
                            ASSERT_LE(recorder.count(MessageLevel::Warning), 1);
                            for (const RecordedMessage& m : recorder.messages()) {
                                const MessageId id = MessageRecorder::idOf(m.format);
                                ASSERT_NE(id, MessageId::Count) << "unknown format: " << m.format;
                                ASSERT_EQ(vl::encoder::message(id).level, m.level) << m.format;
                            }
                            (result == 0 ? passing : failing)++;
                        }
    // The grid holds both kinds, so neither half of the contract went untested.
    EXPECT_GT(passing, 100);
    EXPECT_GT(failing, 100);
}

TEST(CheckContract, MissingCallbacksStillCountErrors)
{
    EncoderSettings s = validSettings();
    s.layer = 7;
    s.mode = VL_MODE_MONO;
    EXPECT_EQ(vl::encoder::SettingsChecker(nullptr).check(&s, VL_AUDIO_MPEG2, 44100), 1);

    EncoderCallbacks empty {};
    EXPECT_EQ(vl::encoder::SettingsChecker(&empty).check(&s, VL_AUDIO_MPEG2, 44100), 1);
    s.layer = 2;
    s.bitrateIndex = 1;
    EXPECT_EQ(vl::encoder::SettingsChecker(&empty).check(&s, VL_AUDIO_MPEG2, 44100), 0);
}

TEST(CheckContract, NullSettingsAreAnError)
{
    MessageRecorder recorder;
    EXPECT_EQ(vl::encoder::SettingsChecker(recorder.callbacks()).check(nullptr, VL_AUDIO_MPEG2, 48000), 1);
    EXPECT_EQ(recorder.ids(), std::vector<MessageId> { MessageId::NoSettings });
}

TEST(CheckContract, OnlyTheArgumentsDecideAudioTypeAndFrequency)
{
    // The block's own audio type and frequency words are the dialog's
    // business; the check judges the values it is given.
    const EncoderSettings s = validSettings({ { &S::audioType, VL_AUDIO_MPEG1_VCD }, { &S::sampleFrequency, 12345 } });
    MessageRecorder recorder;
    EXPECT_EQ(vl::encoder::SettingsChecker(recorder.callbacks()).check(&s, VL_AUDIO_MPEG2, 48000), 0)
        << recorder.allText();
}

} // namespace
