// The localisation module: every translation keeps its message's printf
// conversions, the module converts exactly the encoder's formats, and the
// encoder's reports come out in German and Japanese through it.
#include "encodermessages.h"
#include "messagetranslations.h"
#include "moduleloader.h"

#include <cstdarg>
#include <gtest/gtest.h>
#include <veltrano/mpa_modules.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

using vl::encoder::MessageId;
using vl::localize::Language;

namespace {

// Well-formed UTF-8: the converter refuses bad, overlong and surrogate forms.
bool isUtf8(std::string text)
{
#ifdef _WIN32
    return text.empty()
        || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0)
        > 0;
#else
    const iconv_t converter = iconv_open("UTF-32LE", "UTF-8");
    std::vector<char> out(4 * text.size() + 4);
    char* from = text.data();
    char* to = out.data();
    std::size_t fromLeft = text.size(), toLeft = out.size();
    const bool ok = iconv(converter, &from, &fromLeft, &to, &toLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    return ok && fromLeft == 0;
#endif
}

// Each translation keeps its message's printf conversions in order, and is
// translated, well-formed text of one sentence.
TEST(Translations, KeepTheConversionsAndAreWellFormed)
{
    for (const Language language : { Language::German, Language::Japanese }) {
        // Japanese sentences end in the ideographic full stop.
        const std::string stop = language == Language::Japanese ? "\xe3\x80\x82" : ".";
        for (const vl::encoder::MessageText& english : vl::encoder::messageTexts) {
            const char* const translated = vl::localize::translation(language, english.id);
            ASSERT_NE(translated, nullptr) << int(english.id);
            const std::string text = translated;
            char letters[16] = {};
            EXPECT_TRUE(vl::encoder::conversionLetters(translated, letters, sizeof letters)) << text;
            EXPECT_STREQ(letters, english.arguments) << text;
            EXPECT_NE(text, english.format) << "left in English";
            EXPECT_TRUE(isUtf8(text) && text.find('\n') == std::string::npos) << text;
            EXPECT_TRUE(text.size() >= stop.size() && text.compare(text.size() - stop.size(), stop.size(), stop) == 0)
                << text;
        }
    }
}

TEST(Translations, LanguageNumbers)
{
    const std::pair<std::uint16_t, Language> rows[]
        = { { 7, Language::German }, { 0x0c07, Language::German }, { 0x0411, Language::Japanese },
              { 0, Language::Untranslated }, { 0x0409, Language::Untranslated }, { 0x0410, Language::Untranslated } };
    for (const auto& [number, language] : rows)
        EXPECT_EQ(vl::localize::languageFromNumber(number), language) << number;
}

// ---- Through the built modules ---------------------------------------------

class LocalizeModule : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(setLanguage && convertStr) << module.error(); }
    void TearDown() override { setLanguage(0); }

    ModuleLoader module { VL_MODULE_DIR "/gui_mpa_localize" VL_MODULE_SUFFIX };
    LocalizeSetLanguageFunc setLanguage = module.resolve<LocalizeSetLanguageFunc>("localizeSetLanguage");
    LocalizeConvertStrFunc convertStr = module.resolve<LocalizeConvertStrFunc>("localizeConvertStr");
};

TEST_F(LocalizeModule, ConvertsTheEncodersFormatsIntoTheLanguageSetLast)
{
    // A copy: the module must match the text, not the address.
    const std::string format = vl::encoder::message(MessageId::MonoBitrateTooHigh).format;
    EXPECT_EQ(convertStr(format.c_str()), format.c_str()) << "untranslated before any language is set";
    EXPECT_EQ(setLanguage(7), 0);
    EXPECT_STREQ(
        convertStr(format.c_str()), vl::localize::translation(Language::German, MessageId::MonoBitrateTooHigh));
    EXPECT_EQ(setLanguage(17), 0);
    EXPECT_STREQ(
        convertStr(format.c_str()), vl::localize::translation(Language::Japanese, MessageId::MonoBitrateTooHigh));
    const std::string almost = std::string(vl::encoder::message(MessageId::SummaryMono).format) + " ";
    for (const char* text : { "", "Stereo", "Layer %d", almost.c_str() })
        EXPECT_EQ(convertStr(text), text) << '"' << text << '"';
    EXPECT_EQ(convertStr(nullptr), nullptr);
    EXPECT_NE(setLanguage(9), 0) << "English has no translation";
    EXPECT_EQ(convertStr(format.c_str()), format.c_str());
}

// The check's reports as a host receives them; with `convert`, converted by
// the localisation module before formatting, as hosts did before the encoder
// module converted them itself.
struct TranslatingSink
{
    LocalizeConvertStrFunc convert;
    std::vector<std::string> lines;

    static void print(void* context, const char* format, ...)
    {
        auto* const self = static_cast<TranslatingSink*>(context);
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, self->convert ? self->convert(format) : format, args);
        va_end(args);
        self->lines.emplace_back(buffer);
    }
};

std::vector<std::string> checkReports(int mode, int bitrateIndex, int audioType, LocalizeConvertStrFunc convert)
{
    const ModuleLoader encoder(VL_MODULE_DIR "/vl_enc_mpa" VL_MODULE_SUFFIX);
    const auto check = encoder.resolve<MpegOutAudioChkSettingsFunc>("mpegOutAudioChkSettings");
    if (!check)
        return { "cannot load the encoder module: " + encoder.error() };
    TranslatingSink sink { convert, {} };
    EncoderCallbacks callbacks {};
    callbacks.context = &sink;
    callbacks.errorPrintf = callbacks.warningPrintf = callbacks.infoPrintf = &TranslatingSink::print;
    EncoderSettings s {};
    s.layer = 2;
    s.psychModel = 1;
    s.mode = mode;
    s.bitrateIndex = bitrateIndex;
    check(&callbacks, &s, audioType, 48000, 0, nullptr);
    return sink.lines;
}

// The encoder module reports through the localisation module in the process,
// whether or not the host converts the formats as well.
TEST_F(LocalizeModule, ReportsComeOutInTheUsersLanguage)
{
    const std::vector<std::string> german
        = { "Die Bitrate 384 kbit/s ist für Mono in MPEG-1 Layer II nicht zulässig; wählen Sie 32 bis 192 kbit/s." };
    const std::vector<std::string> japanese
        = { "Blu-ray Disc の規格には MPEG オーディオがありません (使用されるのは LPCM/AC-3/DTS "
            "です)。このオーディオは再生機器で拒否される可能性があります。",
              "MPEG-1 レイヤー II、48 kHz、32 kbps、モノラル。" };
    for (const LocalizeConvertStrFunc convert : { LocalizeConvertStrFunc(nullptr), convertStr }) {
        setLanguage(7);
        EXPECT_EQ(checkReports(VL_MODE_MONO, 14, VL_AUDIO_MPEG2, convert), german);
        setLanguage(17);
        EXPECT_EQ(checkReports(VL_MODE_MONO, 1, VL_AUDIO_MPEG2_BLURAY, convert), japanese);
    }
}

// The encoder module never loads the localisation module itself: without it
// in the process its reports are English.
TEST(EncoderWithoutLocalizeModule, ReportsInEnglish)
{
    ASSERT_FALSE(ModuleLoader::isInProcess(VL_MODULE_DIR "/gui_mpa_localize" VL_MODULE_SUFFIX));
    EXPECT_EQ(checkReports(VL_MODE_MONO, 14, VL_AUDIO_MPEG2, nullptr),
        std::vector<std::string> {
            "Bitrate 384 kbps is not allowed for mono in MPEG-1 Layer II; choose 32 to 192 kbps." });
    EXPECT_FALSE(ModuleLoader::isInProcess(VL_MODULE_DIR "/gui_mpa_localize" VL_MODULE_SUFFIX));
}

} // namespace
