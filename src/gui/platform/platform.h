#ifndef VL_PLATFORM_PLATFORM_H
#define VL_PLATFORM_PLATFORM_H

#include <cstdint>

// The few operating-system services the entry point needs beyond the
// toolkit: the user's language and the rectangle of a native host window.
namespace Platform {

// A native window's rectangle in screen coordinates; right and bottom lie
// one past the last pixel, as the window system reports them.
struct WindowRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Language identifiers: the low 10 bits are the primary language, the high
// 6 bits the sublanguage. Only the primary languages matter here.
constexpr uint16_t LanguageNeutral = 0x00;
constexpr uint16_t LanguageGerman = 0x07;
constexpr uint16_t LanguageEnglish = 0x09;
constexpr uint16_t LanguageJapanese = 0x11;
constexpr uint16_t SublanguageDefault = 0x01;

constexpr uint16_t makeLanguageId(uint16_t primary, uint16_t sublanguage)
{
    return static_cast<uint16_t>((sublanguage << 10) | primary);
}
constexpr uint16_t primaryLanguage(uint16_t languageId)
{
    return static_cast<uint16_t>(languageId & 0x3ff);
}

// The user's default language. On Linux from the locale of the messages
// (LC_ALL, LC_MESSAGES, LANG, the first one set and not empty), else from
// the toolkit's system locale.
uint16_t userDefaultLanguageId();

// Maps a POSIX locale name ("de_DE.UTF-8", "ja_JP", "C") to a language
// identifier with the default sublanguage; unknown names give the neutral
// language 0.
uint16_t languageIdFromLocaleName(const char* localeName);

// Reads the rectangle of a native window, its frame included; false when
// the handle is null, the toolkit has no native windows (offscreen,
// Wayland) or no such window exists. Needs the application object.
bool hostWindowRect(uint64_t windowHandle, WindowRect* rect);

} // namespace Platform

#endif
