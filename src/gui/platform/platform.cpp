#include "platform.h"

#include <cctype>
#include <cstring>
#include <string>

namespace Platform {

namespace {
struct LanguageCode
{
    const char* code;
    uint16_t primary;
};

// ISO 639-1 codes and the primary language numbers they correspond to.
constexpr LanguageCode languageCodes[] = {
    { "ar", 0x01 },
    { "bg", 0x02 },
    { "ca", 0x03 },
    { "zh", 0x04 },
    { "cs", 0x05 },
    { "da", 0x06 },
    { "de", 0x07 },
    { "el", 0x08 },
    { "en", 0x09 },
    { "es", 0x0a },
    { "fi", 0x0b },
    { "fr", 0x0c },
    { "he", 0x0d },
    { "hu", 0x0e },
    { "is", 0x0f },
    { "it", 0x10 },
    { "ja", 0x11 },
    { "ko", 0x12 },
    { "nl", 0x13 },
    { "nb", 0x14 },
    { "no", 0x14 },
    { "pl", 0x15 },
    { "pt", 0x16 },
    { "ro", 0x18 },
    { "ru", 0x19 },
    { "hr", 0x1a },
    { "sk", 0x1b },
    { "sq", 0x1c },
    { "sv", 0x1d },
    { "th", 0x1e },
    { "tr", 0x1f },
    { "id", 0x21 },
    { "uk", 0x22 },
    { "sl", 0x24 },
    { "et", 0x25 },
    { "lv", 0x26 },
    { "lt", 0x27 },
    { "vi", 0x2a },
};
} // namespace

uint16_t languageIdFromLocaleName(const char* localeName)
{
    if (!localeName)
        return LanguageNeutral;
    // The portable locales mean untranslated, that is English, text.
    if (std::strcmp(localeName, "C") == 0 || std::strncmp(localeName, "C.", 2) == 0
        || std::strcmp(localeName, "POSIX") == 0)
        return makeLanguageId(LanguageEnglish, SublanguageDefault);

    // The language is everything before the territory, codeset or modifier.
    std::string language;
    for (const char* c = localeName; *c && *c != '_' && *c != '-' && *c != '.' && *c != '@'; ++c)
        language += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    for (const LanguageCode& entry : languageCodes) {
        if (language == entry.code)
            return makeLanguageId(entry.primary, SublanguageDefault);
    }
    return LanguageNeutral;
}

} // namespace Platform
