// The encoder module's settings check against the rules of ISO/IEC 11172-3
// and 13818-3 (with the generic audio type, which adds no rule of its own)
// and against libtwolame where it is installed; the rules each audio type
// adds; the defaults through the built module's entry points.
#include "audiotyperules.h"
#include "encodermessages.h"
#include "moduleloader.h"
#include "mpegaudiotables.h"
#include "rowname.h"
#include "settingschecker.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <gtest/gtest.h>
#include <probe/mpegaudioheader.h>
#ifdef VL_HAVE_TWOLAME
#include <twolame.h>
#endif

using vl::encoder::MessageId;
using vl::encoder::MessageLevel;
using vl::encoder::SettingsChecker;
using Ids = std::vector<MessageId>;
using S = EncoderSettings;

namespace {

// A callback table that records every report of the check: the message (told
// by its format; MessageId::Count for a format that is no message's at that
// level), the level, and the formatted text, one report a line.
struct Recorder
{
    Ids ids;
    std::vector<MessageLevel> levels;
    std::string text;
    EncoderCallbacks table { this, nullptr, nullptr, {}, &record<MessageLevel::Error>, nullptr,
        &record<MessageLevel::Warning>, &record<MessageLevel::Info>, {} };

    int count(MessageLevel level) const { return int(std::count(levels.begin(), levels.end(), level)); }
    int check(const EncoderSettings& s, int audioType, int frequency)
    {
        return SettingsChecker(&table).check(&s, audioType, frequency);
    }

    template<MessageLevel level>
    static void record(void* context, const char* format, ...)
    {
        auto* const self = static_cast<Recorder*>(context);
        MessageId id = MessageId::Count;
        for (const vl::encoder::MessageText& m : vl::encoder::messageTexts)
            id = std::string(format) == m.format && m.level == level ? m.id : id;
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        self->ids.push_back(id);
        self->levels.push_back(level);
        self->text += std::string(buffer) + "\n";
    }
};

// Layer II stereo at 224 kbit/s (index 11 at MPEG-1), model 1, then
// `change`.
EncoderSettings settings(std::initializer_list<std::pair<int32_t S::*, int32_t>> change = {})
{
    EncoderSettings s {};
    s.layer = 2;
    s.bitrateIndex = 11;
    s.psychModel = 1;
    for (const auto& [field, value] : change)
        s.*field = value;
    return s;
}

// name, settings, sampling frequency, the messages, a part of their text
using FailingCase = std::tuple<const char*, EncoderSettings, int, Ids, const char*>;
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

using FailingSettings = testing::TestWithParam<FailingCase>;

TEST_P(FailingSettings, ReportEachFaultOnceAndNoSummary)
{
    const auto& [name, s, frequency, expected, fragment] = GetParam();
    Recorder recorder;
    EXPECT_EQ(recorder.check(s, VL_AUDIO_MPEG2, frequency), int(expected.size()));
    EXPECT_EQ(recorder.ids, expected) << recorder.text;
    EXPECT_NE(recorder.text.find(fragment), std::string::npos) << recorder.text;
}

INSTANTIATE_TEST_SUITE_P(Check, FailingSettings, testing::ValuesIn(failingCases), RowName());

TEST(PassingSettings, ReturnZeroWithOneSummaryLine)
{
    const std::tuple<int, int, int, int, const char*> rows[] = {
        { 48000, 2, VL_MODE_JOINT_STEREO, 11, "MPEG-1 Layer II, 48 kHz, 224 kbps, joint stereo." },
        { 44100, 1, VL_MODE_MONO, 14, "MPEG-1 Layer I, 44.1 kHz, 448 kbps, mono." },
        { 22050, 2, VL_MODE_STEREO, 1, "MPEG-2 Layer II, 22.05 kHz, 8 kbps, stereo." },
        { 24000, 1, VL_MODE_DUAL_CHANNEL, 14, "MPEG-2 Layer I, 24 kHz, 256 kbps, dual channel." },
    };
    for (const auto& [frequency, layer, mode, index, summary] : rows) {
        Recorder recorder;
        EXPECT_EQ(recorder.check(settings({ { &S::layer, layer }, { &S::mode, mode }, { &S::bitrateIndex, index },
                                     { &S::emphasis, VL_EMPHASIS_CCITT_J17 }, { &S::privateBit, 1 },
                                     { &S::errorProtection, 1 }, { &S::copyrightBit, 1 }, { &S::originalBit, 1 } }),
                      VL_AUDIO_MPEG2, frequency),
            0);
        EXPECT_EQ(recorder.text, std::string(summary) + "\n");
        EXPECT_EQ(recorder.levels, std::vector<MessageLevel> { MessageLevel::Info });
    }
}

// Over a wide grid of good and bad values: the result is the number of
// errors reported, the summary appears exactly when there is none, and every
// report is one of the messages at its level.
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
                            Recorder recorder;
                            const int result
                                = recorder.check(settings({ { &S::layer, layer }, { &S::mode, mode },
                                                     { &S::bitrateIndex, index }, { &S::emphasis, emphasis } }),
                                    type, frequency);
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

// Missing callbacks or settings fail; the block's own audio type and
// frequency words are the dialog's business, the check judges the values it
// is given.
TEST(CheckContract, Arguments)
{
    const EncoderSettings layer7 = settings({ { &S::layer, 7 } });
    EXPECT_EQ(SettingsChecker(nullptr).check(&layer7, VL_AUDIO_MPEG2, 44100), 1);
    EncoderCallbacks empty {};
    EXPECT_EQ(SettingsChecker(&empty).check(&layer7, VL_AUDIO_MPEG2, 44100), 1);
    Recorder recorder;
    EXPECT_EQ(SettingsChecker(&recorder.table).check(nullptr, VL_AUDIO_MPEG2, 48000), 1);
    EXPECT_EQ(recorder.ids, Ids { MessageId::NoSettings });
    EncoderSettings s = settings({ { &S::audioType, VL_AUDIO_MPEG1_VCD }, { &S::sampleFrequency, 12345 } });
    EXPECT_EQ(SettingsChecker(nullptr).check(&s, VL_AUDIO_MPEG2, 48000), 0);
}

// A converted format is used only when it takes the arguments of the
// original; anything else would make printf read arguments never passed.
TEST(CheckContract, ConvertedFormatsMustTakeTheSameArguments)
{
    using Converter = SettingsChecker::FormatConverter;
    static const std::string layer = vl::encoder::message(MessageId::LayerInvalid).format;
    const std::pair<Converter, std::string> rows[] = {
        { [](const char* format) { return layer == format ? "Schicht %d." : nullptr; }, "Schicht 7." },
        { [](const char* format) { return layer == format ? "Layer %s" : format; },
            "Layer 7 is not supported; choose Layer I (1) or Layer II (2)." },
    };
    const EncoderSettings s = settings({ { &S::layer, 7 } });
    for (const auto& [converter, expected] : rows) {
        Recorder recorder;
        EXPECT_EQ(SettingsChecker(&recorder.table, converter).check(&s, VL_AUDIO_MPEG2, 48000), 1);
        EXPECT_EQ(recorder.text, expected + "\n");
    }
}

// For every MPEG-1 and lower sampling frequency, mode and bitrate of Layer
// II, the check's verdict equals whether libtwolame, a second encoder,
// accepts the parameters.
TEST(CheckContract, SameVerdictAsLibtwolame)
{
#ifndef VL_HAVE_TWOLAME
    GTEST_SKIP() << "libtwolame is not installed";
#else
    for (const int hertz : { 32000, 44100, 48000, 16000, 22050, 24000 }) {
        for (int mode = VL_MODE_STEREO; mode <= VL_MODE_MONO; ++mode) {
            int accepted = 0;
            for (int index = 1; index <= 14; ++index) {
                Recorder recorder;
                const bool ours = recorder.check(settings({ { &S::mode, mode }, { &S::bitrateIndex, index } }),
                                      VL_AUDIO_MPEG2, hertz)
                    == 0;
                const int kbps = vl::encoder::bitrateKbps(vl::probe::mpegVersionForFrequency(hertz), 2, index);
                twolame_options* options = twolame_init();
                twolame_set_verbosity(options, 0);
                twolame_set_in_samplerate(options, hertz);
                twolame_set_out_samplerate(options, hertz);
                twolame_set_num_channels(options, mode == VL_MODE_MONO ? 1 : 2);
                twolame_set_mode(options, static_cast<TWOLAME_MPEG_mode>(mode));
                twolame_set_version(options, vl::probe::isLowSamplingFrequency(hertz) ? TWOLAME_MPEG2 : TWOLAME_MPEG1);
                twolame_set_bitrate(options, kbps);
                EXPECT_EQ(ours, twolame_init_params(options) == 0)
                    << hertz << " Hz, mode " << mode << ", " << kbps << " kbps; the check said: " << recorder.text;
                twolame_close(&options);
                accepted += ours;
            }
            // Every combination accepts some bitrates; an always-failing
            // check would otherwise agree with a broken library.
            EXPECT_GT(accepted, 0) << hertz << " Hz, mode " << mode;
        }
    }
#endif
}

// Every id a host may pass, through the built module: known audio types get
// their defaults, which pass the check at the type's native frequency, fill
// only the record's nine words and leave bytes 4096 on (the dialog's)
// untouched; any other id gets the generic defaults and a warning, in
// English: the module never loads the localisation module itself.
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
        ASSERT_TRUE(rules || std::memcmp(&s, &generic, 36) == 0) << "audio type " << type;
        Recorder recorder;
        ASSERT_EQ(check(&recorder.table, &s, type, rules ? rules->nativeFrequency : 44100, 0, nullptr), 0);
        ASSERT_TRUE(rules || recorder.ids == Ids({ MessageId::UnknownAudioType, MessageId::SummaryStereo }))
            << recorder.text;
        ASSERT_TRUE(rules || recorder.text.find("Audio type " + std::to_string(type) + " is unknown") == 0);
        ASSERT_EQ(recorder.count(MessageLevel::Error), 0) << recorder.text;
        ASSERT_EQ(recorder.count(MessageLevel::Info), 1) << recorder.text;
    }
    EXPECT_GT(known, 1);
    EXPECT_LT(known, 0x3100);
    EXPECT_NE(defaults(nullptr, VL_AUDIO_MPEG2), 0);
    EXPECT_NE(check(nullptr, nullptr, VL_AUDIO_MPEG2, 48000, 0, nullptr), 0);
    EXPECT_FALSE(ModuleLoader::isInProcess(VL_MODULE_DIR "/gui_mpa_localize" VL_MODULE_SUFFIX));
}

// What the target formats add, one row per kind of rule: name, audio type,
// frequency, layer, mode, bitrate index, the messages besides the summary, a
// part of their text.
using FormatCase = std::tuple<const char*, int, int, int, int, int, Ids, const char*>;
constexpr int stereo = VL_MODE_STEREO;
constexpr int joint = VL_MODE_JOINT_STEREO;
constexpr int mono = VL_MODE_MONO;
const FormatCase formatCases[] = {
    // Generic MPEG-1 takes no lower sampling frequency.
    { "Mpeg1AtLsf", 0, 24000, 2, stereo, 11, { MessageId::FormatFrequencyMpeg1 },
        "Sampling frequency 24000 Hz is not allowed for MPEG-1; use 32000, 44100 or 48000 Hz." },
    // VideoCD: Layer II, 44.1 kHz, 224 kbps, no mono.
    { "VcdOtherBitrate", 1, 44100, 2, stereo, 10, { MessageId::FormatBitrateOnly },
        "Bitrate 192 kbps is not allowed for VideoCD; use 224 kbps." },
    { "VcdAt48k", 1, 48000, 2, stereo, 11, { MessageId::FormatFrequencyOnly },
        "Sampling frequency 48000 Hz is not allowed for VideoCD; use 44100 Hz." },
    { "VcdMono192", 1, 44100, 2, mono, 10, { MessageId::FormatMonoNotAllowed, MessageId::FormatBitrateOnly },
        "Mono is not allowed for VideoCD" },
    { "VcdLayer1", 1, 44100, 1, stereo, 6, { MessageId::FormatNeedsLayer2 }, "Layer I is not allowed for VideoCD" },
    // A fault the standard already reports draws no second message.
    { "SvcdMono256", 3, 44100, 2, mono, 12, { MessageId::MonoBitrateTooHigh }, "Bitrate 256 kbps" },
    // HDV: Layer II, 48 kHz, 384 kbps, stereo.
    { "HdvJointStereo", 19, 48000, 2, joint, 14, { MessageId::FormatStereoOnlyJointStereo },
        "Joint stereo is not allowed for HDV; choose stereo." },
    { "HdvDualChannel", 18, 48000, 2, VL_MODE_DUAL_CHANNEL, 14, { MessageId::FormatStereoOnlyDualChannel },
        "Dual channel" },
    { "HdvMono192", 19, 48000, 2, mono, 10, { MessageId::FormatStereoOnlyMono, MessageId::FormatBitrateOnly },
        "Mono is not allowed for HDV" },
    { "HdvEverythingWrong", 19, 44100, 1, joint, 12,
        { MessageId::FormatNeedsLayer2, MessageId::FormatFrequencyOnly, MessageId::FormatStereoOnlyJointStereo }, "" },
    // Formats without MPEG audio only warn.
    { "BluRay", 27, 48000, 2, stereo, 14, { MessageId::FormatWithoutMpegAudio },
        "Blu-ray Disc does not carry MPEG audio by its specification" },
};

using FormatRules = testing::TestWithParam<FormatCase>;

TEST_P(FormatRules, ReportExactlyTheFormatsFaults)
{
    const auto& [name, audioType, frequency, layer, mode, index, expected, fragment] = GetParam();
    Recorder recorder;
    recorder.check(
        settings({ { &S::layer, layer }, { &S::mode, mode }, { &S::bitrateIndex, index }, { &S::psychModel, 2 } }),
        audioType, frequency);
    Ids reported;
    for (size_t i = 0; i < recorder.ids.size(); ++i) {
        if (recorder.levels[i] != MessageLevel::Info)
            reported.push_back(recorder.ids[i]);
    }
    EXPECT_EQ(reported, expected) << recorder.text;
    EXPECT_NE(recorder.text.find(fragment), std::string::npos) << recorder.text;
}

INSTANTIATE_TEST_SUITE_P(AudioTypes, FormatRules, testing::ValuesIn(formatCases), RowName());

} // namespace
