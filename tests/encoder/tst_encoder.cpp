// The encoder module's settings check against ISO/IEC 11172-3 and 13818-3 and
// libtwolame, the audio types' rules, and the defaults through the built module.
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
#include <map>
#include <probe/mpegaudioheader.h>
#include <sstream>
#ifdef VL_HAVE_TWOLAME
#include <twolame.h>
#endif

using vl::encoder::MessageId;
using vl::encoder::MessageLevel;
using vl::encoder::SettingsChecker;
using Ids = std::vector<MessageId>;
using S = EncoderSettings;

namespace {

// Each report: its message (MessageId::Count: no message's format at that level), level,
// text; `faults` are the messages that are no info.
struct Recorder
{
    Ids ids, faults;
    std::vector<MessageLevel> levels;
    std::string text;
    EncoderCallbacks table { this, nullptr, nullptr, {}, &record<MessageLevel::Error>, nullptr,
        &record<MessageLevel::Warning>, &record<MessageLevel::Info>, {} };

    int count(MessageLevel level) const { return int(std::count(levels.begin(), levels.end(), level)); }
    int check(const EncoderSettings& s, int type, int hertz) { return SettingsChecker(&table).check(&s, type, hertz); }

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
        if (level != MessageLevel::Info)
            self->faults.push_back(id);
        self->levels.push_back(level);
        self->text += std::string(buffer) + "\n";
    }
};

// Layer II stereo at 224 kbit/s (index 11 at MPEG-1), model 1, then the
// fields of `change` ("layer=1 index=14 crc=1").
EncoderSettings settings(const std::string& change = {})
{
    static const std::map<std::string, int32_t S::*> fields { { "layer", &S::layer }, { "mode", &S::mode },
        { "index", &S::bitrateIndex }, { "model", &S::psychModel }, { "emphasis", &S::emphasis },
        { "private", &S::privateBit }, { "crc", &S::errorProtection }, { "copyright", &S::copyrightBit },
        { "original", &S::originalBit } };
    EncoderSettings s {};
    std::istringstream words("layer=2 index=11 model=1 " + change);
    for (std::string name, value; std::getline(words >> std::ws, name, '=') && words >> value;)
        s.*fields.at(name) = std::stoi(value);
    return s;
}

constexpr int mpeg2 = VL_AUDIO_MPEG2; // the generic type, which adds no rule of its own

// name, audio type, frequency, changed fields, the reports but the summary, a part of the text
using M = MessageId;
using CheckCase = std::tuple<const char*, int, int, const char*, Ids, const char*>;
const CheckCase checkCases[] = {
    { "PsychModelZero", mpeg2, 48000, "model=0", { M::PsychModelInvalid }, "model 0 " },
    { "BitrateIndexFifteen", mpeg2, 48000, "index=15", { M::BitrateIndexInvalid }, "index 15 " },
    { "EmphasisReserved", mpeg2, 48000, "emphasis=2", { M::EmphasisReserved }, "2 is reserved" },
    { "Mono384", mpeg2, 44100, "mode=3 index=14", { M::MonoBitrateTooHigh },
        "Bitrate 384 kbps is not allowed for mono in MPEG-1 Layer II; choose 32 to 192 kbps." },
    { "Stereo80", mpeg2, 48000, "index=5", { M::StereoBitrateNotAllowed }, "except 80 kbps" },
    // Several faults: each is reported once, in the order of the fields.
    { "FlagWords", mpeg2, 48000, "private=2 crc=2 copyright=-1 original=5",
        { M::PrivateBitInvalid, M::CopyrightBitInvalid, M::OriginalBitInvalid, M::ErrorProtectionInvalid },
        "copyright bit is -1" },
    { "LayerModeAndFrequency", mpeg2, 8000, "layer=5 mode=7",
        { M::LayerInvalid, M::ModeInvalid, M::SampleFrequencyInvalid }, "mode 7 " },
    // Without a valid frequency the MPEG version is unknown: the mode and
    // bitrate pair is not judged.
    { "MonoAtUnknownFrequency", mpeg2, 12345, "mode=3 index=14", { M::SampleFrequencyInvalid }, "12345 Hz" },
    { "Mpeg1LayerTwo", mpeg2, 48000, "mode=1 emphasis=3 private=1 crc=1 copyright=1 original=1", {},
        "MPEG-1 Layer II, 48 kHz, 224 kbps, joint stereo." },
    { "Mpeg1LayerOne", mpeg2, 44100, "layer=1 mode=3 index=14", {}, "MPEG-1 Layer I, 44.1 kHz, 448 kbps, mono." },
    { "Mpeg2LayerOne", mpeg2, 24000, "layer=1 mode=2 index=14", {}, "MPEG-2 Layer I, 24 kHz, 256 kbps, dual channel." },
    // What the audio types add. Generic MPEG-1 takes no lower frequency.
    { "Mpeg1AtLsf", 0, 24000, "", { M::FormatFrequencyMpeg1 },
        "Sampling frequency 24000 Hz is not allowed for MPEG-1; use 32000, 44100 or 48000 Hz." },
    { "VcdMono192", 1, 44100, "mode=3 index=10", { M::FormatMonoNotAllowed, M::FormatBitrateOnly },
        "Bitrate 192 kbps is not allowed for VideoCD; use 224 kbps." },
    // A fault the standard already reports draws no second message.
    { "SvcdMono256", 3, 44100, "mode=3 index=12", { M::MonoBitrateTooHigh }, "Bitrate 256 kbps" },
    { "HdvEverythingWrong", 19, 44100, "layer=1 mode=1 index=12",
        { M::FormatNeedsLayer2, M::FormatFrequencyOnly, M::FormatStereoOnlyJointStereo },
        "Joint stereo is not allowed for HDV; choose stereo." },
    // Formats without MPEG audio only warn.
    { "BluRay", 27, 48000, "index=14", { M::FormatWithoutMpegAudio },
        "Blu-ray Disc does not carry MPEG audio by its specification" },
};

using Check = testing::TestWithParam<CheckCase>;

TEST_P(Check, ReportsExactlyTheFaults)
{
    const auto& [name, audioType, frequency, change, expected, fragment] = GetParam();
    Recorder recorder;
    const int result = recorder.check(settings(change), audioType, frequency);
    EXPECT_EQ(recorder.faults, expected) << recorder.text;
    EXPECT_EQ(result, recorder.count(MessageLevel::Error));
    EXPECT_NE(recorder.text.find(fragment), std::string::npos) << recorder.text;
}

INSTANTIATE_TEST_SUITE_P(Rows, Check, testing::ValuesIn(checkCases), RowName());

#ifdef VL_HAVE_TWOLAME
// Whether libtwolame, a second encoder, takes Layer II at these parameters.
bool twolameTakes(int hertz, int mode, int index)
{
    twolame_options* options = twolame_init();
    twolame_set_verbosity(options, 0);
    twolame_set_in_samplerate(options, hertz);
    twolame_set_out_samplerate(options, hertz);
    twolame_set_num_channels(options, mode == VL_MODE_MONO ? 1 : 2);
    twolame_set_mode(options, static_cast<TWOLAME_MPEG_mode>(mode));
    twolame_set_version(options, vl::probe::isLowSamplingFrequency(hertz) ? TWOLAME_MPEG2 : TWOLAME_MPEG1);
    twolame_set_bitrate(options, vl::encoder::bitrateKbps(vl::probe::mpegVersionForFrequency(hertz), 2, index));
    const bool taken = twolame_init_params(options) == 0;
    twolame_close(&options);
    return taken;
}
#endif

// Over a grid: the result counts the errors, a summary comes exactly when there is
// none, each report is a message of its level, and Layer II verdicts are libtwolame's.
TEST(CheckContract, OverAGrid)
{
    int passing = 0, failing = 0;
    for (const int type : std::initializer_list<int> { VL_AUDIO_MPEG1, VL_AUDIO_MPEG1_VCD, VL_AUDIO_MPEG2,
             VL_AUDIO_MPEG2_DVD, VL_AUDIO_MPEG2_HDV_HD1, VL_AUDIO_MPEG2_BLURAY, 5 })
        for (const int frequency : { 0, 16000, 22050, 24000, 32000, 44100, 48000, 96000 })
            for (int layer = 0; layer <= 3; ++layer)
                for (int mode = -1; mode <= 4; ++mode)
                    for (int index = -1; index <= 15; ++index)
                        for (int emphasis = 0; emphasis <= 4; ++emphasis) {
                            Recorder recorder;
                            EncoderSettings s = settings();
                            std::tie(s.layer, s.mode, s.bitrateIndex, s.emphasis)
                                = std::tie(layer, mode, index, emphasis);
                            const int result = recorder.check(s, type, frequency);
                            ASSERT_EQ(result, recorder.count(MessageLevel::Error)) << recorder.text;
                            ASSERT_EQ(recorder.count(MessageLevel::Info), result == 0 ? 1 : 0) << recorder.text;
                            ASSERT_LE(recorder.count(MessageLevel::Warning), 1);
                            ASSERT_EQ(std::count(recorder.ids.begin(), recorder.ids.end(), MessageId::Count), 0)
                                << recorder.text;
#ifdef VL_HAVE_TWOLAME
                            ASSERT_TRUE(type != mpeg2 || layer != 2 || emphasis != 0 || mode < 0 || mode > 3
                                || index < 1 || index > 14 || frequency < 16000 || frequency > 48000
                                || (result == 0) == twolameTakes(frequency, mode, index))
                                << recorder.text;
#endif
                            (result == 0 ? passing : failing)++;
                        }
    EXPECT_GT(passing, 1000);
    EXPECT_GT(failing, 1000);
}

// Missing callbacks or settings fail; the block's own type and frequency play no
// part. A converted format taking other arguments than the original is not used.
TEST(CheckContract, Arguments)
{
    const EncoderSettings layer7 = settings("layer=7");
    EXPECT_EQ(SettingsChecker(nullptr).check(&layer7, mpeg2, 44100), 1);
    EncoderCallbacks empty {};
    EXPECT_EQ(SettingsChecker(&empty).check(&layer7, mpeg2, 44100), 1);
    Recorder recorder;
    EXPECT_EQ(SettingsChecker(&recorder.table).check(nullptr, mpeg2, 48000), 1);
    EXPECT_EQ(recorder.ids, Ids { MessageId::NoSettings });
    EncoderSettings s = settings();
    s.audioType = VL_AUDIO_MPEG1_VCD;
    s.sampleFrequency = 12345;
    EXPECT_EQ(SettingsChecker(nullptr).check(&s, mpeg2, 48000), 0);

    static const std::string layer = vl::encoder::message(MessageId::LayerInvalid).format;
    const std::pair<SettingsChecker::FormatConverter, std::string> converters[] = {
        { [](const char* format) { return layer == format ? "Schicht %d." : nullptr; }, "Schicht 7." },
        { [](const char* format) { return layer == format ? "Layer %s" : format; },
            "Layer 7 is not supported; choose Layer I (1) or Layer II (2)." },
    };
    for (const auto& [converter, expected] : converters) {
        Recorder converted;
        EXPECT_EQ(SettingsChecker(&converted.table, converter).check(&layer7, mpeg2, 48000), 1);
        EXPECT_EQ(converted.text, expected + "\n");
    }
}

// Every id through the built module: known types get defaults that pass the check at
// their native frequency, in the nine words only; others the generic ones and an
// English warning (the module never loads the localisation module itself).
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
        ASSERT_TRUE(rules || std::memcmp(&s, &generic, 36) == 0) << "audio type " << type;
        Recorder recorder;
        ASSERT_EQ(check(&recorder.table, &s, type, rules ? rules->nativeFrequency : 44100, 0, nullptr), 0);
        ASSERT_TRUE(rules || recorder.ids == Ids({ MessageId::UnknownAudioType, MessageId::SummaryStereo }))
            << recorder.text;
        ASSERT_TRUE(rules || recorder.text.find("Audio type " + std::to_string(type) + " is unknown") == 0);
    }
    EXPECT_GT(known, 1);
    EXPECT_LT(known, 0x3100);
    EXPECT_NE(defaults(nullptr, VL_AUDIO_MPEG2), 0);
    EXPECT_NE(check(nullptr, nullptr, VL_AUDIO_MPEG2, 48000, 0, nullptr), 0);
    EXPECT_FALSE(ModuleLoader::isInProcess(VL_MODULE_DIR "/gui_mpa_localize" VL_MODULE_SUFFIX));
}

} // namespace
