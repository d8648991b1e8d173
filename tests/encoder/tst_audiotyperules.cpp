// Defaults per audio type and the rules each audio type adds, through the
// entry points of the built module where the ABI matters.
#include "audiotyperules.h"
#include "messagerecorder.h"
#include "moduleloader.h"
#include "settingschecker.h"

#include <cstring>
#include <gtest/gtest.h>

using vl::encoder::MessageId;
using vl::encoder::MessageLevel;

namespace {

// Every id a host may pass: known audio types get their defaults, which pass
// the check at the type's native frequency, fill only the record's nine
// words and leave bytes 4096 on (the dialog's) untouched; any other id gets
// the generic defaults and a warning.
TEST(Defaults, PassTheCheckAndFillOnlyTheEncoderHalf)
{
    const ModuleLoader module(VL_MODULE_DIR "/vl_enc_mpa" VL_MODULE_SUFFIX);
    const auto defaults = module.resolve<MpegOutAudioDefaultsFunc>("mpegOutAudioDefaults");
    const auto check = module.resolve<MpegOutAudioChkSettingsFunc>("mpegOutAudioChkSettings");
    ASSERT_TRUE(defaults && check) << module.error();
    EncoderSettings generic {};
    ASSERT_EQ(defaults(&generic, VL_AUDIO_MPEG2), 0);
    int known = 0;
    for (int type = -8; type <= 0x3100; ++type) {
        const vl::encoder::AudioTypeRules* const rules = vl::encoder::findAudioTypeRules(type);
        known += rules != nullptr;
        EncoderSettings s;
        std::memset(&s, 0xa5, sizeof s);
        EncoderSettings expected = s;
        ASSERT_EQ(defaults(&s, type), 0);
        std::memcpy(&expected, &s, 36); // the nine words
        std::memset(expected.opaque, 0, sizeof expected.opaque);
        ASSERT_EQ(std::memcmp(&s, &expected, sizeof s), 0) << "audio type " << type;
        for (const int flag : { s.privateBit, s.copyrightBit, s.originalBit, s.errorProtection })
            ASSERT_TRUE(flag == 0 || flag == 1) << "audio type " << type;
        if (!rules)
            ASSERT_EQ(std::memcmp(&s, &generic, 36), 0) << "audio type " << type;

        MessageRecorder recorder;
        ASSERT_EQ(check(recorder.callbacks(), &s, type, rules ? rules->nativeFrequency : 44100, 0, nullptr), 0);
        const std::vector<MessageId> unknown = { MessageId::UnknownAudioType, MessageId::SummaryStereo };
        if (!rules) {
            ASSERT_EQ(recorder.ids, unknown) << recorder.text;
            ASSERT_NE(recorder.text.find("Audio type " + std::to_string(type) + " is unknown"), std::string::npos);
        }
        ASSERT_EQ(recorder.count(MessageLevel::Error), 0) << recorder.text;
        ASSERT_EQ(recorder.count(MessageLevel::Info), 1) << recorder.text;
    }
    EXPECT_GT(known, 1);
    EXPECT_LT(known, 0x3100);
    EXPECT_NE(defaults(nullptr, VL_AUDIO_MPEG2), 0);
    EXPECT_NE(check(nullptr, nullptr, VL_AUDIO_MPEG2, 48000, 0, nullptr), 0);
}

// ---- What the target formats add -----------------------------------------

struct FormatCase
{
    const char* name;
    int audioType;
    int sampleFrequency;
    int layer;
    int mode;
    int bitrateIndex;
    std::vector<MessageId> expected; // without the summary line
    const char* fragment; // must appear in the reported text; may be empty
};

constexpr int S = VL_MODE_STEREO;
constexpr int J = VL_MODE_JOINT_STEREO;
constexpr int D = VL_MODE_DUAL_CHANNEL;
constexpr int M = VL_MODE_MONO;

const FormatCase formatCases[] = {
    // One row per kind of rule. Generic MPEG-1 takes no lower sampling frequency.
    { "Mpeg1AtLsf", 0, 24000, 2, S, 11, { MessageId::FormatFrequencyMpeg1 },
        "Sampling frequency 24000 Hz is not allowed for MPEG-1; use 32000, 44100 or 48000 Hz." },
    // VideoCD: Layer II, 44.1 kHz, 224 kbps, no mono.
    { "VcdOtherBitrate", 1, 44100, 2, S, 10, { MessageId::FormatBitrateOnly },
        "Bitrate 192 kbps is not allowed for VideoCD; use 224 kbps." },
    { "VcdAt48k", 1, 48000, 2, S, 11, { MessageId::FormatFrequencyOnly },
        "Sampling frequency 48000 Hz is not allowed for VideoCD; use 44100 Hz." },
    { "VcdMono192", 1, 44100, 2, M, 10, { MessageId::FormatMonoNotAllowed, MessageId::FormatBitrateOnly },
        "Mono is not allowed for VideoCD" },
    { "VcdLayer1", 1, 44100, 1, S, 6, { MessageId::FormatNeedsLayer2 }, "Layer I is not allowed for VideoCD" },
    // A fault the standard already reports draws no second message.
    { "SvcdMono256", 3, 44100, 2, M, 12, { MessageId::MonoBitrateTooHigh }, "Bitrate 256 kbps" },
    // HDV: Layer II, 48 kHz, 384 kbps, stereo.
    { "HdvJointStereo", 19, 48000, 2, J, 14, { MessageId::FormatStereoOnlyJointStereo },
        "Joint stereo is not allowed for HDV; choose stereo." },
    { "HdvDualChannel", 18, 48000, 2, D, 14, { MessageId::FormatStereoOnlyDualChannel }, "Dual channel" },
    { "HdvMono192", 19, 48000, 2, M, 10, { MessageId::FormatStereoOnlyMono, MessageId::FormatBitrateOnly },
        "Mono is not allowed for HDV" },
    { "HdvEverythingWrong", 19, 44100, 1, J, 12,
        { MessageId::FormatNeedsLayer2, MessageId::FormatFrequencyOnly, MessageId::FormatStereoOnlyJointStereo }, "" },
    // Formats without MPEG audio only warn.
    { "BluRay", 27, 48000, 2, S, 14, { MessageId::FormatWithoutMpegAudio },
        "Blu-ray Disc does not carry MPEG audio by its specification" },
};

class FormatRules : public testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatRules, ReportExactlyTheFormatsFaults)
{
    const FormatCase& c = GetParam();
    EncoderSettings s {};
    s.layer = c.layer;
    s.mode = c.mode;
    s.bitrateIndex = c.bitrateIndex;
    s.psychModel = 2;
    MessageRecorder recorder;
    vl::encoder::SettingsChecker(recorder.callbacks()).check(&s, c.audioType, c.sampleFrequency);
    std::vector<MessageId> reported;
    for (size_t i = 0; i < recorder.ids.size(); ++i) {
        if (recorder.levels[i] != MessageLevel::Info)
            reported.push_back(recorder.ids[i]);
    }
    EXPECT_EQ(reported, c.expected) << recorder.text;
    EXPECT_NE(recorder.text.find(c.fragment), std::string::npos) << recorder.text;
}

INSTANTIATE_TEST_SUITE_P(AudioTypes, FormatRules, testing::ValuesIn(formatCases),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

} // namespace
