// The settings check against the rules of ISO/IEC 11172-3 and 13818-3, using
// the generic audio type, which adds no rule of its own.
#include "messagerecorder.h"
#include "settingschecker.h"

#include <cstring>
#include <gtest/gtest.h>

using vl::encoder::MessageId;
using vl::encoder::MessageLevel;

namespace {

// Layer II stereo at 224 kbit/s (index 11 at MPEG-1), model 1, then the
// fields of `change` in block order: mode, layer, model, bitrate index,
// emphasis, private, error protection, copyright and original.
EncoderSettings settings(std::initializer_list<std::pair<int32_t EncoderSettings::*, int32_t>> change = {})
{
    EncoderSettings s {};
    s.layer = 2;
    s.bitrateIndex = 11;
    s.psychModel = 1;
    for (const auto& [field, value] : change)
        s.*field = value;
    return s;
}

using S = EncoderSettings;

struct FailingCase
{
    const char* name;
    EncoderSettings settings;
    int sampleFrequency;
    std::vector<MessageId> expected;
    const char* fragment; // must appear in the reported text
};

const FailingCase failingCases[] = {
    { "LayerThree", settings({ { &S::layer, 3 } }), 48000, { MessageId::LayerInvalid }, "Layer 3 " },
    { "PsychModelZero", settings({ { &S::psychModel, 0 } }), 48000, { MessageId::PsychModelInvalid }, "model 0 " },
    { "ModeNegative", settings({ { &S::mode, -1 } }), 48000, { MessageId::ModeInvalid }, "mode -1 " },
    { "FreeFormat", settings({ { &S::bitrateIndex, 0 } }), 48000, { MessageId::BitrateFreeFormat }, "free format" },
    { "BitrateIndexFifteen", settings({ { &S::bitrateIndex, 15 } }), 48000, { MessageId::BitrateIndexInvalid },
        "index 15 " },
    { "EmphasisReserved", settings({ { &S::emphasis, 2 } }), 48000, { MessageId::EmphasisReserved }, "2 is reserved" },
    { "EmphasisFour", settings({ { &S::emphasis, 4 } }), 48000, { MessageId::EmphasisInvalid }, "Emphasis 4 " },
    { "Frequency11025", settings(), 11025, { MessageId::SampleFrequencyInvalid }, "frequency 11025 Hz" },
    { "Mono384", settings({ { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 14 } }), 44100,
        { MessageId::MonoBitrateTooHigh },
        "Bitrate 384 kbps is not allowed for mono in MPEG-1 Layer II; choose 32 to 192 kbps." },
    { "Stereo80", settings({ { &S::bitrateIndex, 5 } }), 48000, { MessageId::StereoBitrateNotAllowed },
        "except 80 kbps" },
    { "JointStereo48", settings({ { &S::mode, VL_MODE_JOINT_STEREO }, { &S::bitrateIndex, 2 } }), 48000,
        { MessageId::JointStereoBitrateNotAllowed }, "Bitrate 48 kbps" },
    { "DualChannel56", settings({ { &S::mode, VL_MODE_DUAL_CHANNEL }, { &S::bitrateIndex, 3 } }), 44100,
        { MessageId::DualChannelBitrateNotAllowed }, "Bitrate 56 kbps" },
    // Several faults: each is reported once, in the order of the fields.
    { "FlagWords",
        settings(
            { { &S::privateBit, 2 }, { &S::errorProtection, 2 }, { &S::copyrightBit, -1 }, { &S::originalBit, 5 } }),
        48000,
        { MessageId::PrivateBitInvalid, MessageId::CopyrightBitInvalid, MessageId::OriginalBitInvalid,
            MessageId::ErrorProtectionInvalid },
        "copyright bit is -1" },
    { "LayerModeAndFrequency", settings({ { &S::layer, 5 }, { &S::mode, 7 } }), 8000,
        { MessageId::LayerInvalid, MessageId::ModeInvalid, MessageId::SampleFrequencyInvalid }, "mode 7 " },
    // Without a valid frequency the MPEG version is unknown, so the mode and
    // bitrate pair is not judged.
    { "MonoAtUnknownFrequency", settings({ { &S::mode, VL_MODE_MONO }, { &S::bitrateIndex, 14 } }), 12345,
        { MessageId::SampleFrequencyInvalid }, "12345 Hz" },
};

class FailingSettings : public testing::TestWithParam<FailingCase>
{
};

TEST_P(FailingSettings, ReportEachFaultOnceAndNoSummary)
{
    const FailingCase& c = GetParam();
    MessageRecorder recorder;
    const int result
        = vl::encoder::SettingsChecker(recorder.callbacks()).check(&c.settings, VL_AUDIO_MPEG2, c.sampleFrequency);
    EXPECT_EQ(recorder.ids, c.expected) << recorder.text;
    EXPECT_EQ(result, static_cast<int>(c.expected.size()));
    EXPECT_NE(recorder.text.find(c.fragment), std::string::npos) << recorder.text;
}

INSTANTIATE_TEST_SUITE_P(Check, FailingSettings, testing::ValuesIn(failingCases),
    [](const testing::TestParamInfo<FailingCase>& info) { return info.param.name; });

struct PassingCase
{
    int sampleFrequency;
    int layer;
    int mode;
    int bitrateIndex;
    const char* summary;
};

class PassingSettings : public testing::TestWithParam<PassingCase>
{
};

TEST_P(PassingSettings, ReturnZeroWithOneSummaryLine)
{
    const PassingCase& c = GetParam();
    const EncoderSettings s = settings({ { &S::layer, c.layer }, { &S::mode, c.mode },
        { &S::bitrateIndex, c.bitrateIndex }, { &S::emphasis, VL_EMPHASIS_CCITT_J17 }, { &S::privateBit, 1 },
        { &S::errorProtection, 1 }, { &S::copyrightBit, 1 }, { &S::originalBit, 1 } });
    MessageRecorder recorder;
    EXPECT_EQ(vl::encoder::SettingsChecker(recorder.callbacks()).check(&s, VL_AUDIO_MPEG2, c.sampleFrequency), 0);
    EXPECT_EQ(recorder.levels, std::vector<MessageLevel> { MessageLevel::Info });
    EXPECT_EQ(recorder.text, std::string(c.summary) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Check, PassingSettings,
    testing::Values(
        PassingCase { 48000, 2, VL_MODE_JOINT_STEREO, 11, "MPEG-1 Layer II, 48 kHz, 224 kbps, joint stereo." },
        PassingCase { 44100, 1, VL_MODE_MONO, 14, "MPEG-1 Layer I, 44.1 kHz, 448 kbps, mono." },
        PassingCase { 22050, 2, VL_MODE_STEREO, 1, "MPEG-2 Layer II, 22.05 kHz, 8 kbps, stereo." },
        PassingCase { 24000, 1, VL_MODE_DUAL_CHANNEL, 14, "MPEG-2 Layer I, 24 kHz, 256 kbps, dual channel." }));

// Over a wide grid of good and bad values: the result is the number of errors
// reported, the summary appears exactly when there is none, and every report
// is one of the messages at its level.
TEST(CheckContract, ResultCountsReportedErrors)
{
    int passing = 0;
    int failing = 0;
    for (const int type : std::initializer_list<int> { VL_AUDIO_MPEG1, VL_AUDIO_MPEG1_VCD, VL_AUDIO_MPEG2,
             VL_AUDIO_MPEG2_DVD, VL_AUDIO_MPEG2_HDV_HD1, VL_AUDIO_MPEG2_BLURAY, 5 })
        for (const int frequency : { 0, 16000, 24000, 32000, 44100, 48000, 96000 })
            for (int layer = 0; layer <= 3; ++layer)
                for (int mode = -1; mode <= 4; ++mode)
                    for (const int index : { -1, 0, 1, 5, 11, 14, 15 })
                        for (int emphasis = 0; emphasis <= 3; ++emphasis) {
                            const EncoderSettings s = settings({ { &S::layer, layer }, { &S::mode, mode },
                                { &S::bitrateIndex, index }, { &S::emphasis, emphasis } });
                            MessageRecorder recorder;
                            const int result
                                = vl::encoder::SettingsChecker(recorder.callbacks()).check(&s, type, frequency);
                            ASSERT_EQ(result, recorder.count(MessageLevel::Error)) << recorder.text;
                            ASSERT_EQ(recorder.count(MessageLevel::Info), result == 0 ? 1 : 0) << recorder.text;
                            ASSERT_LE(recorder.count(MessageLevel::Warning), 1);
                            ASSERT_EQ(std::count(recorder.ids.begin(), recorder.ids.end(), MessageId::Count), 0)
                                << recorder.text;
                            (result == 0 ? passing : failing)++;
                        }
    // The grid holds both kinds, so neither half of the contract went untested.
    EXPECT_GT(passing, 100);
    EXPECT_GT(failing, 100);
}

TEST(CheckContract, MissingCallbacksOrSettings)
{
    EncoderSettings s = settings({ { &S::layer, 7 } });
    EXPECT_EQ(vl::encoder::SettingsChecker(nullptr).check(&s, VL_AUDIO_MPEG2, 44100), 1);
    EncoderCallbacks empty {};
    EXPECT_EQ(vl::encoder::SettingsChecker(&empty).check(&s, VL_AUDIO_MPEG2, 44100), 1);
    MessageRecorder recorder;
    EXPECT_EQ(vl::encoder::SettingsChecker(recorder.callbacks()).check(nullptr, VL_AUDIO_MPEG2, 48000), 1);
    EXPECT_EQ(recorder.ids, std::vector<MessageId> { MessageId::NoSettings });
}

// The block's own audio type and frequency words are the dialog's business;
// the check judges the values it is given.
TEST(CheckContract, OnlyTheArgumentsDecideAudioTypeAndFrequency)
{
    EncoderSettings s = settings();
    s.audioType = VL_AUDIO_MPEG1_VCD;
    s.sampleFrequency = 12345;
    EXPECT_EQ(vl::encoder::SettingsChecker(nullptr).check(&s, VL_AUDIO_MPEG2, 48000), 0);
}

// A converted format is used only when it takes the arguments of the
// original; anything else would make printf read arguments never passed.
const char* swapsArguments(const char* format)
{
    return std::strcmp(format, vl::encoder::message(MessageId::LayerInvalid).format) == 0 ? "Layer %s" : format;
}
const char* translatesLayer(const char* format)
{
    return std::strcmp(format, vl::encoder::message(MessageId::LayerInvalid).format) == 0 ? "Schicht %d." : nullptr;
}

TEST(CheckContract, ConvertedFormatsMustTakeTheSameArguments)
{
    const EncoderSettings s = settings({ { &S::layer, 7 } });
    const std::pair<vl::encoder::SettingsChecker::FormatConverter, std::string> rows[]
        = { { &translatesLayer, "Schicht 7." },
              { &swapsArguments, "Layer 7 is not supported; choose Layer I (1) or Layer II (2)." } };
    for (const auto& [converter, expected] : rows) {
        MessageRecorder recorder;
        EXPECT_EQ(vl::encoder::SettingsChecker(recorder.callbacks(), converter).check(&s, VL_AUDIO_MPEG2, 48000), 1);
        EXPECT_EQ(recorder.text, expected + "\n");
    }
}

} // namespace
