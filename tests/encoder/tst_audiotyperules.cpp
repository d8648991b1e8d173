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

// The twenty audio type ids the dialog offers.
const int audioTypes[] = { 44, 0, 1, 13, 15, 2, 3, 4, 14, 8, 9, 10, 11, 12, 18, 19, 23, 24, 25, 27 };

// The entry points of the built module.
struct EncoderModule
{
    ModuleLoader module { VL_MODULE_DIR "/vl_enc_mpa.so" };
    MpegOutAudioDefaultsFunc defaults = module.resolve<MpegOutAudioDefaultsFunc>("mpegOutAudioDefaults");
    MpegOutAudioChkSettingsFunc check = module.resolve<MpegOutAudioChkSettingsFunc>("mpegOutAudioChkSettings");
};

const EncoderModule& encoder()
{
    static const EncoderModule instance;
    EXPECT_TRUE(instance.defaults && instance.check) << instance.module.error();
    return instance;
}

class DefaultsPerType : public testing::TestWithParam<int>
{
};

// The defaults pass the check at the type's native frequency, write every
// word of the record, and leave bytes 4096 on (the dialog's) untouched.
TEST_P(DefaultsPerType, PassTheCheckAndFillOnlyTheEncoderHalf)
{
    const int type = GetParam();
    const vl::encoder::AudioTypeRules* rules = vl::encoder::findAudioTypeRules(type);
    ASSERT_NE(rules, nullptr) << "audio type " << type << " has no rules";
    ASSERT_TRUE(encoder().defaults && encoder().check);
    for (const unsigned char fill : { 0x5a, 0xa5 }) {
        EncoderSettings s;
        std::memset(&s, fill, sizeof s);
        const EncoderSettings before = s;
        EXPECT_EQ(encoder().defaults(&s, type), 0);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&s);
        EXPECT_EQ(std::memcmp(bytes + VL_SETTINGS_RECORD_SIZE,
                      reinterpret_cast<const unsigned char*>(&before) + VL_SETTINGS_RECORD_SIZE,
                      VL_SETTINGS_SIZE - VL_SETTINGS_RECORD_SIZE),
            0)
            << "bytes from 4096 on were changed";
        // Past the nine words the record is reserved and left zero.
        for (std::size_t i = 36; i < VL_SETTINGS_RECORD_SIZE; ++i) {
            ASSERT_EQ(bytes[i], 0) << "byte " << i;
        }
        for (int flag : { s.privateBit, s.copyrightBit, s.originalBit, s.errorProtection }) {
            EXPECT_TRUE(flag == 0 || flag == 1);
        }

        MessageRecorder recorder;
        EXPECT_EQ(encoder().check(recorder.callbacks(), &s, type, rules->nativeFrequency, 0, nullptr), 0)
            << recorder.allText();
        EXPECT_EQ(recorder.count(MessageLevel::Error), 0);
        EXPECT_EQ(recorder.count(MessageLevel::Info), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(AudioTypes, DefaultsPerType, testing::ValuesIn(audioTypes));

TEST(EncoderModule, UnknownTypesGetGenericDefaultsAndAWarning)
{
    ASSERT_TRUE(encoder().defaults && encoder().check);
    EncoderSettings generic {};
    encoder().defaults(&generic, VL_AUDIO_MPEG2);
    for (int type : { -7, 5, 26, 4096 }) {
        EncoderSettings s {};
        encoder().defaults(&s, type);
        EXPECT_EQ(std::memcmp(&s, &generic, VL_SETTINGS_RECORD_SIZE), 0) << type;

        MessageRecorder recorder;
        EXPECT_EQ(encoder().check(recorder.callbacks(), &s, type, 44100, 0, nullptr), 0) << recorder.allText();
        EXPECT_EQ(recorder.ids(), (std::vector<MessageId> { MessageId::UnknownAudioType, MessageId::SummaryStereo }));
        EXPECT_NE(recorder.allText().find("Audio type " + std::to_string(type) + " is unknown"), std::string::npos);
    }
    EXPECT_NE(encoder().defaults(nullptr, VL_AUDIO_MPEG2), 0);
    EXPECT_NE(encoder().check(nullptr, nullptr, VL_AUDIO_MPEG2, 48000, 0, nullptr), 0);
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
    // Generic MPEG-1 takes both layers but no lower sampling frequency.
    { "Mpeg1Layer1", 0, 32000, 1, S, 3, {}, "" },
    { "Mpeg1AtLsf", 0, 24000, 2, S, 11, { MessageId::FormatFrequencyMpeg1 },
        "Sampling frequency 24000 Hz is not allowed for MPEG-1; use 32000, 44100 or 48000 Hz." },
    { "Mpeg2AtLsf", 2, 16000, 2, M, 14, {}, "" },
    // VideoCD: Layer II, 44.1 kHz, 224 kbps, no mono.
    { "VcdDefault", 1, 44100, 2, J, 11, {}, "" },
    { "VcdDualChannel", 1, 44100, 2, D, 11, {}, "" },
    { "VcdOtherBitrate", 1, 44100, 2, S, 10, { MessageId::FormatBitrateOnly },
        "Bitrate 192 kbps is not allowed for VideoCD; use 224 kbps." },
    { "VcdAt48k", 1, 48000, 2, S, 11, { MessageId::FormatFrequencyOnly },
        "Sampling frequency 48000 Hz is not allowed for VideoCD; use 44100 Hz." },
    { "VcdMono192", 1, 44100, 2, M, 10, { MessageId::FormatMonoNotAllowed, MessageId::FormatBitrateOnly },
        "Mono is not allowed for VideoCD" },
    { "VcdLayer1", 1, 44100, 1, S, 6, { MessageId::FormatNeedsLayer2 }, "Layer I is not allowed for VideoCD" },
    // SuperVCD: 32 to 384 kbps; its mono stays within the standard's 192.
    { "SvcdStereo384", 3, 44100, 2, S, 14, {}, "" },
    { "SvcdMono32", 3, 44100, 2, M, 1, {}, "" },
    { "SvcdMono256", 3, 44100, 2, M, 12, { MessageId::MonoBitrateTooHigh }, "Bitrate 256 kbps" },
    { "SvcdAt32k", 3, 32000, 2, S, 11, { MessageId::FormatFrequencyOnly }, "use 44100 Hz" },
    // DVD-Video and DVD-VR: 48 kHz; mono 32-192, two channels 64-384.
    { "DvdStereo384", 4, 48000, 2, S, 14, {}, "" },
    { "DvdMono32", 13, 48000, 2, M, 1, {}, "" },
    { "DvdStereo64", 14, 48000, 2, J, 4, {}, "" },
    { "DvdAt44k", 4, 44100, 2, S, 11, { MessageId::FormatFrequencyOnly },
        "Sampling frequency 44100 Hz is not allowed for DVD-Video; use 48000 Hz." },
    { "DvdVrAtLsf", 15, 24000, 2, S, 11, { MessageId::FormatFrequencyOnly }, "not allowed for DVD-VR" },
    { "DvdLayer1", 13, 48000, 1, S, 6, { MessageId::FormatNeedsLayer2 }, "DVD-Video" },
    // A fault the standard already reports draws no second message.
    { "DvdMonoTooHigh", 4, 48000, 2, M, 14, { MessageId::MonoBitrateTooHigh }, "Bitrate 384 kbps" },
    { "DvdStereo56", 14, 48000, 2, S, 3, { MessageId::StereoBitrateNotAllowed }, "Bitrate 56 kbps" },
    // DVB: Layer II at 32, 44.1 or 48 kHz.
    { "DvbAt32k", 8, 32000, 2, J, 10, {}, "" },
    { "DvbAt44k", 8, 44100, 2, M, 1, {}, "" },
    { "DvbAtLsf", 8, 22050, 2, S, 11, { MessageId::FormatFrequencyMpeg1 }, "22050 Hz is not allowed for DVB" },
    { "DvbLayer1", 8, 48000, 1, S, 6, { MessageId::FormatNeedsLayer2 }, "DVB" },
    // HDV: Layer II, 48 kHz, 384 kbps, stereo.
    { "HdvDefault", 18, 48000, 2, S, 14, {}, "" },
    { "HdvJointStereo", 19, 48000, 2, J, 14, { MessageId::FormatStereoOnlyJointStereo },
        "Joint stereo is not allowed for HDV; choose stereo." },
    { "HdvDualChannel", 18, 48000, 2, D, 14, { MessageId::FormatStereoOnlyDualChannel }, "Dual channel" },
    { "HdvMono192", 19, 48000, 2, M, 10, { MessageId::FormatStereoOnlyMono, MessageId::FormatBitrateOnly },
        "Mono is not allowed for HDV" },
    { "Hdv256", 18, 48000, 2, S, 12, { MessageId::FormatBitrateOnly }, "use 384 kbps" },
    { "HdvEverythingWrong", 19, 44100, 1, J, 12,
        { MessageId::FormatNeedsLayer2, MessageId::FormatFrequencyOnly, MessageId::FormatStereoOnlyJointStereo }, "" },
    { "MicroMvDefault", 9, 48000, 2, S, 14, {}, "" },
    { "DvhsMono256", 10, 48000, 2, M, 12, { MessageId::MonoBitrateTooHigh }, "" },
    { "CableLabsStereo", 24, 48000, 2, S, 12, {}, "" },
    // Formats without MPEG audio only warn, and the standards still hold.
    { "BluRay", 27, 48000, 2, S, 14, { MessageId::FormatWithoutMpegAudio },
        "Blu-ray Disc does not carry MPEG audio by its specification" },
    { "AvcHd", 44, 48000, 2, S, 14, { MessageId::FormatWithoutMpegAudio }, "AVCHD" },
    { "Atsc", 11, 48000, 2, S, 14, { MessageId::FormatWithoutMpegAudio }, "AC-3" },
    { "AtscHigh", 12, 48000, 2, S, 14, { MessageId::FormatWithoutMpegAudio }, "ATSC" },
    { "D10", 23, 48000, 2, S, 14, { MessageId::FormatWithoutMpegAudio }, "LPCM" },
    { "HdDvd", 25, 44100, 1, M, 14, { MessageId::FormatWithoutMpegAudio }, "HD DVD" },
    { "BluRayMonoTooHigh", 27, 48000, 2, M, 14, { MessageId::MonoBitrateTooHigh, MessageId::FormatWithoutMpegAudio },
        "" },
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
    const int result = vl::encoder::SettingsChecker(recorder.callbacks()).check(&s, c.audioType, c.sampleFrequency);

    std::vector<MessageId> reported;
    for (MessageId id : recorder.ids()) {
        if (vl::encoder::message(id).level != MessageLevel::Info)
            reported.push_back(id);
    }
    EXPECT_EQ(reported, c.expected) << recorder.allText();
    int errors = 0;
    for (MessageId id : c.expected)
        errors += vl::encoder::message(id).level == MessageLevel::Error;
    EXPECT_EQ(result, errors);
    EXPECT_NE(recorder.allText().find(c.fragment), std::string::npos) << recorder.allText();
}

INSTANTIATE_TEST_SUITE_P(AudioTypes, FormatRules, testing::ValuesIn(formatCases),
    [](const testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

} // namespace
