// The translations, and the localisation module converting exactly the encoder's formats.
#include "encodermessages.h"
#include "messagetranslations.h"
#include "moduleloader.h"

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

// Well-formed UTF-8: the system's converter refuses bad and overlong forms.
bool isUtf8(std::string text)
{
#ifdef _WIN32
    return text.empty()
        || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
#else
    const iconv_t converter = iconv_open("UTF-32LE", "UTF-8");
    std::vector<char> out(4 * text.size() + 4);
    char *from = text.data(), *to = out.data();
    std::size_t fromLeft = text.size(), toLeft = out.size();
    const bool ok = iconv(converter, &from, &fromLeft, &to, &toLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    return ok;
#endif
}

// Each translation keeps its message's conversions and is one well-formed sentence.
TEST(Translations, KeepTheConversionsAndAreWellFormed)
{
    for (const auto& [language, stop] : { std::pair(Language::German, "."), { Language::Japanese, "\xe3\x80\x82" } }) {
        for (const vl::encoder::MessageText& english : vl::encoder::messageTexts) {
            const char* const translated = vl::localize::translation(language, english.id);
            ASSERT_NE(translated, nullptr) << int(english.id);
            const std::string text = translated;
            char letters[16] = {};
            EXPECT_TRUE(vl::encoder::conversionLetters(translated, letters, sizeof letters)) << text;
            EXPECT_STREQ(letters, english.arguments) << text;
            EXPECT_TRUE(text != english.format && isUtf8(text) && text.find('\n') == std::string::npos) << text;
            EXPECT_EQ(text.size() > strlen(stop) ? text.substr(text.size() - strlen(stop)) : "", stop) << text;
        }
    }
}

// The formats in the language set last by Windows number, primary or full; nothing else.
TEST(LocalizeModule, ConvertsTheEncodersFormatsIntoTheLanguageSetLast)
{
    const ModuleLoader module(VL_MODULE_DIR "/gui_mpa_localize" VL_MODULE_SUFFIX);
    const auto setLanguage = module.resolve<LocalizeSetLanguageFunc>("localizeSetLanguage");
    const auto convertStr = module.resolve<LocalizeConvertStrFunc>("localizeConvertStr");
    ASSERT_TRUE(setLanguage && convertStr) << module.error();
    // A copy: the module must match the text, not the address.
    const std::string format = vl::encoder::message(MessageId::MonoBitrateTooHigh).format;
    const std::string almost = std::string(vl::encoder::message(MessageId::SummaryMono).format) + " ";
    EXPECT_EQ(convertStr(format.c_str()), format.c_str()) << "untranslated before any language is set";
    for (const auto& [number, language] : { std::pair(7, Language::German), { 0x0c07, Language::German },
             { 0x0411, Language::Japanese }, { 17, Language::Japanese }, { 9, Language::Untranslated },
             { 0x0409, Language::Untranslated }, { 0x0410, Language::Untranslated }, { 0, Language::Untranslated } }) {
        const bool untranslated = language == Language::Untranslated;
        EXPECT_EQ(setLanguage(std::uint16_t(number)), untranslated ? 1 : 0) << number;
        EXPECT_STREQ(convertStr(format.c_str()),
            untranslated ? format.c_str() : vl::localize::translation(language, MessageId::MonoBitrateTooHigh))
            << number;
        for (const char* text : { "", "Stereo", "Layer %d", almost.c_str(), static_cast<const char*>(nullptr) })
            EXPECT_EQ(convertStr(text), text) << number << " \"" << (text ? text : "null") << '"';
    }
}

} // namespace
