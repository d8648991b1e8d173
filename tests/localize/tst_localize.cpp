// The localisation module: every translation keeps its message's printf
// conversions, the module converts exactly the encoder's formats, and the
// encoder's reports come out in German and Japanese through it.
#include "messagerecorder.h"
#include "messagetranslations.h"
#include "moduleloader.h"

#include <cstdarg>
#include <cstring>
#include <gtest/gtest.h>

using vl::enc::MessageId;
using vl::loc::Language;

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
        for (std::size_t i = 0; i < vl::enc::kMessageCount; ++i)
            cases.push_back({ language, static_cast<MessageId>(i) });
    return cases;
}

std::string nameOf(const testing::TestParamInfo<TranslationCase>& info)
{
    return std::string(info.param.language == Language::German ? "German" : "Japanese") + "_"
        + std::to_string(static_cast<int>(info.param.id));
}

// A well-formed UTF-8 sequence without overlong forms or surrogates.
bool isUtf8(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xe ? 3 : (c >> 3) == 0x1e ? 4 : 0;
        if (length == 0 || i + length > text.size() || (length == 2 && c < 0xc2))
            return false;
        unsigned code = length == 1 ? c : c & (0x7f >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3f);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xd800 && code <= 0xdfff))) || (length == 4 && code < 0x10000)
            || code > 0x10ffff)
            return false;
        i += length;
    }
    return true;
}

class Translations : public testing::TestWithParam<TranslationCase>
{
};

TEST_P(Translations, KeepTheConversionsInOrder)
{
    const TranslationCase c = GetParam();
    const vl::enc::MessageText& english = vl::enc::message(c.id);
    const char* translated = vl::loc::translation(c.language, c.id);
    ASSERT_NE(translated, nullptr);

    char englishLetters[16] = {};
    char translatedLetters[16] = {};
    ASSERT_TRUE(vl::enc::conversionLetters(english.format, englishLetters, sizeof englishLetters));
    ASSERT_TRUE(vl::enc::conversionLetters(translated, translatedLetters, sizeof translatedLetters)) << translated;
    EXPECT_STREQ(translatedLetters, englishLetters) << translated;
    EXPECT_STREQ(translatedLetters, english.arguments);
}

TEST_P(Translations, AreTranslatedWellFormedText)
{
    const TranslationCase c = GetParam();
    const std::string translated = vl::loc::translation(c.language, c.id);
    EXPECT_NE(translated, vl::enc::message(c.id).format) << "left in English";
    EXPECT_TRUE(isUtf8(translated)) << translated;
    EXPECT_EQ(translated.find('\n'), std::string::npos);
    if (c.language == Language::Japanese) {
        // Japanese sentences end in the ideographic full stop.
        const std::string fullStop = "\xe3\x80\x82";
        ASSERT_GE(translated.size(), fullStop.size());
        EXPECT_EQ(translated.substr(translated.size() - fullStop.size()), fullStop) << translated;
    } else {
        EXPECT_EQ(translated.back(), '.') << translated;
    }
}

INSTANTIATE_TEST_SUITE_P(Messages, Translations, testing::ValuesIn(allTranslations()), nameOf);

TEST(LanguageNumbers, MapToTheirLanguage)
{
    const std::pair<std::uint16_t, Language> rows[] = {
        { 7, Language::German },
        { 0x0407, Language::German },
        { 0x0c07, Language::German },
        { 17, Language::Japanese },
        { 0x0411, Language::Japanese },
        { 0, Language::Untranslated },
        { 9, Language::Untranslated },
        { 0x0409, Language::Untranslated },
        { 0x040c, Language::Untranslated },
        { 0x0410, Language::Untranslated },
    };
    for (const auto& [number, language] : rows)
        EXPECT_EQ(vl::loc::languageFromNumber(number), language) << number;
}

// ---- Through the built modules ---------------------------------------------

class LocalizeModule : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_module.isLoaded()) << m_module.error();
        setLanguage = m_module.resolve<LocalizeSetLanguageFunc>("localizeSetLanguage");
        convertStr = m_module.resolve<LocalizeConvertStrFunc>("localizeConvertStr");
        ASSERT_NE(setLanguage, nullptr);
        ASSERT_NE(convertStr, nullptr);
    }
    void TearDown() override
    {
        if (setLanguage)
            setLanguage(0);
    }

    ModuleLoader m_module { VL_MODULE_DIR "/gui_mpa_localize.so" };
    LocalizeSetLanguageFunc setLanguage = nullptr;
    LocalizeConvertStrFunc convertStr = nullptr;
};

TEST_F(LocalizeModule, ConvertsIntoTheLanguageSetLast)
{
    const char* format = vl::enc::message(MessageId::MonoBitrateTooHigh).format;
    // A copy: the module must match the text, not the address.
    const std::string copy = format;

    EXPECT_STREQ(convertStr(copy.c_str()), copy.c_str()) << "untranslated before any language is set";
    EXPECT_EQ(setLanguage(7), 0);
    EXPECT_STREQ(convertStr(copy.c_str()), vl::loc::translation(Language::German, MessageId::MonoBitrateTooHigh));
    EXPECT_EQ(setLanguage(17), 0);
    EXPECT_STREQ(convertStr(copy.c_str()), vl::loc::translation(Language::Japanese, MessageId::MonoBitrateTooHigh));
    EXPECT_NE(setLanguage(9), 0) << "English has no translation";
    EXPECT_EQ(convertStr(copy.c_str()), copy.c_str());
}

TEST_F(LocalizeModule, LeavesOtherTextsAlone)
{
    setLanguage(7);
    const std::string almost = std::string(vl::enc::message(MessageId::SummaryMono).format) + " ";
    for (const char* text : { "", "Stereo", "Layer %d", almost.c_str() })
        EXPECT_EQ(convertStr(text), text) << '"' << text << '"';
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

const EndToEndCase kEndToEnd[] = {
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

INSTANTIATE_TEST_SUITE_P(Languages, LocalizedReports, testing::ValuesIn(kEndToEnd));

} // namespace
