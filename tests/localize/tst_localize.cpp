// The localisation module: every translation keeps its message's printf
// conversions, the module converts exactly the encoder's formats, and the
// encoder's reports come out in German and Japanese through it.
#include "messagerecorder.h"
#include "messagetranslations.h"
#include "moduleloader.h"

#include <cstdarg>
#include <cstring>
#include <gtest/gtest.h>
#include <iconv.h>

using vl::encoder::MessageId;
using vl::localize::Language;

namespace {

struct TranslationCase
{
    Language language;
    MessageId id;
};

std::vector<TranslationCase> allTranslations()
{
    std::vector<TranslationCase> cases;
    for (Language language : { Language::German, Language::Japanese })
        for (std::size_t i = 0; i < vl::encoder::messageCount; ++i)
            cases.push_back({ language, static_cast<MessageId>(i) });
    return cases;
}

std::string nameOf(const testing::TestParamInfo<TranslationCase>& info)
{
    return std::string(info.param.language == Language::German ? "German" : "Japanese") + "_"
        + std::to_string(static_cast<int>(info.param.id));
}

// Well-formed UTF-8: the converter refuses bad, overlong and surrogate forms.
bool isUtf8(const std::string& text)
{
    const iconv_t converter = iconv_open("UTF-32LE", "UTF-8");
    std::string in = text;
    std::vector<char> out(4 * text.size() + 4);
    char* from = in.data();
    char* to = out.data();
    std::size_t fromLeft = in.size(), toLeft = out.size();
    const bool ok = iconv(converter, &from, &fromLeft, &to, &toLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    return ok && fromLeft == 0;
}

class Translations : public testing::TestWithParam<TranslationCase>
{
};

// Each translation keeps its message's printf conversions in order, and is
// translated, well-formed text of one sentence.
TEST_P(Translations, KeepTheConversionsAndAreWellFormed)
{
    const TranslationCase c = GetParam();
    const vl::encoder::MessageText& english = vl::encoder::message(c.id);
    const char* translated = vl::localize::translation(c.language, c.id);
    ASSERT_NE(translated, nullptr);

    char englishLetters[16] = {};
    char translatedLetters[16] = {};
    ASSERT_TRUE(vl::encoder::conversionLetters(english.format, englishLetters, sizeof englishLetters));
    ASSERT_TRUE(vl::encoder::conversionLetters(translated, translatedLetters, sizeof translatedLetters)) << translated;
    EXPECT_STREQ(translatedLetters, englishLetters) << translated;
    EXPECT_STREQ(translatedLetters, english.arguments);

    const std::string text = translated;
    EXPECT_NE(text, english.format) << "left in English";
    EXPECT_TRUE(isUtf8(text)) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos);
    // Japanese sentences end in the ideographic full stop.
    const std::string stop = c.language == Language::Japanese ? "\xe3\x80\x82" : ".";
    EXPECT_TRUE(text.size() >= stop.size() && text.compare(text.size() - stop.size(), stop.size(), stop) == 0) << text;
}

INSTANTIATE_TEST_SUITE_P(Messages, Translations, testing::ValuesIn(allTranslations()), nameOf);

TEST(LanguageNumbers, MapToTheirLanguage)
{
    const std::pair<std::uint16_t, Language> rows[] = { { 7, Language::German }, { 0x0407, Language::German },
        { 0x0c07, Language::German }, { 17, Language::Japanese }, { 0x0411, Language::Japanese },
        { 0, Language::Untranslated }, { 9, Language::Untranslated }, { 0x0409, Language::Untranslated },
        { 0x040c, Language::Untranslated }, { 0x0410, Language::Untranslated } };
    for (const auto& [number, language] : rows) {
        EXPECT_EQ(vl::localize::languageFromNumber(number), language) << number;
    }
}

// ---- Through the built modules ---------------------------------------------

class LocalizeModule : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(localizeModule.isLoaded()) << localizeModule.error();
        setLanguage = localizeModule.resolve<LocalizeSetLanguageFunc>("localizeSetLanguage");
        convertStr = localizeModule.resolve<LocalizeConvertStrFunc>("localizeConvertStr");
        ASSERT_NE(setLanguage, nullptr);
        ASSERT_NE(convertStr, nullptr);
    }
    void TearDown() override
    {
        if (setLanguage)
            setLanguage(0);
    }

    ModuleLoader localizeModule { VL_MODULE_DIR "/gui_mpa_localize.so" };
    LocalizeSetLanguageFunc setLanguage = nullptr;
    LocalizeConvertStrFunc convertStr = nullptr;
};

TEST_F(LocalizeModule, ConvertsIntoTheLanguageSetLast)
{
    const char* format = vl::encoder::message(MessageId::MonoBitrateTooHigh).format;
    // A copy: the module must match the text, not the address.
    const std::string copy = format;

    EXPECT_STREQ(convertStr(copy.c_str()), copy.c_str()) << "untranslated before any language is set";
    EXPECT_EQ(setLanguage(7), 0);
    EXPECT_STREQ(convertStr(copy.c_str()), vl::localize::translation(Language::German, MessageId::MonoBitrateTooHigh));
    EXPECT_EQ(setLanguage(17), 0);
    EXPECT_STREQ(
        convertStr(copy.c_str()), vl::localize::translation(Language::Japanese, MessageId::MonoBitrateTooHigh));
    EXPECT_NE(setLanguage(9), 0) << "English has no translation";
    EXPECT_EQ(convertStr(copy.c_str()), copy.c_str());
}

TEST_F(LocalizeModule, LeavesOtherTextsAlone)
{
    setLanguage(7);
    const std::string almost = std::string(vl::encoder::message(MessageId::SummaryMono).format) + " ";
    for (const char* text : { "", "Stereo", "Layer %d", almost.c_str() }) {
        EXPECT_EQ(convertStr(text), text) << '"' << text << '"';
    }
    EXPECT_EQ(convertStr(nullptr), nullptr);
}

// The way a host would use both modules: the check's reports, their formats
// converted by the localisation module before formatting.
struct TranslatingSink
{
    LocalizeConvertStrFunc convert;
    std::vector<std::string> lines;

    static void print(void* context, const char* format, ...)
    {
        auto* self = static_cast<TranslatingSink*>(context);
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, self->convert(format), args);
        va_end(args);
        self->lines.emplace_back(buffer);
    }
};

struct EndToEndCase
{
    std::uint16_t language;
    int audioType;
    int sampleFrequency;
    int mode;
    int bitrateIndex;
    std::vector<std::string> lines;
};

class LocalizedReports : public LocalizeModule, public testing::WithParamInterface<EndToEndCase>
{
};

TEST_P(LocalizedReports, ComeOutInTheUsersLanguage)
{
    const EndToEndCase& c = GetParam();
    ModuleLoader encoder(VL_MODULE_DIR "/vl_enc_mpa.so");
    ASSERT_TRUE(encoder.isLoaded()) << encoder.error();
    const auto check = encoder.resolve<MpegOutAudioChkSettingsFunc>("mpegOutAudioChkSettings");
    ASSERT_NE(check, nullptr);

    setLanguage(c.language);
    TranslatingSink sink { convertStr, {} };
    EncoderCallbacks callbacks {};
    callbacks.context = &sink;
    callbacks.errorPrintf = callbacks.warningPrintf = callbacks.infoPrintf = &TranslatingSink::print;
    EncoderSettings s {};
    s.layer = 2;
    s.psychModel = 1;
    s.mode = c.mode;
    s.bitrateIndex = c.bitrateIndex;
    check(&callbacks, &s, c.audioType, c.sampleFrequency, 0, nullptr);
    EXPECT_EQ(sink.lines, c.lines);
}

const EndToEndCase endToEnd[] = {
    { 7, VL_AUDIO_MPEG2, 48000, VL_MODE_MONO, 14,
        { "Die Bitrate 384 kbit/s ist für Mono in MPEG-1 Layer II nicht zulässig; wählen Sie 32 bis 192 kbit/s." } },
    { 7, VL_AUDIO_MPEG2, 44100, VL_MODE_JOINT_STEREO, 11, { "MPEG-1 Layer II, 44.1 kHz, 224 kbit/s, Joint Stereo." } },
    { 17, VL_AUDIO_MPEG2_DVD, 44100, VL_MODE_STEREO, 11,
        { "サンプリング周波数 44100 Hz は DVD-Video では使用できません。48000 Hz を使用してください。" } },
    { 17, VL_AUDIO_MPEG2_BLURAY, 48000, VL_MODE_MONO, 1,
        { "Blu-ray Disc の規格には MPEG オーディオがありません (使用されるのは LPCM/AC-3/DTS "
          "です)。このオーディオは再生機器で拒否される可能性があります。",
            "MPEG-1 レイヤー II、48 kHz、32 kbps、モノラル。" } },
    { 9, VL_AUDIO_MPEG2_HDV_HD1, 48000, VL_MODE_DUAL_CHANNEL, 14,
        { "Dual channel is not allowed for HDV; choose stereo." } },
};

INSTANTIATE_TEST_SUITE_P(Languages, LocalizedReports, testing::ValuesIn(endToEnd));

} // namespace
