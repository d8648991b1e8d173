// The user's default language on Windows, as the session sets it: wine takes
// it from the session's locale (LC_ALL), which CTest sets per run.
#include "platform/platform.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

TEST(UserLanguage, FollowsTheSessionsLocale)
{
    const char* const locale = std::getenv("LC_ALL");
    if (!locale || !*locale)
        GTEST_SKIP() << "LC_ALL is not set";
    const std::string language = std::string(locale).substr(0, 2);
    const int expected = language == "de" ? LANG_GERMAN : language == "ja" ? LANG_JAPANESE : LANG_ENGLISH;
    EXPECT_EQ(Platform::primaryLanguage(Platform::userDefaultLanguageId()), expected) << locale;
}

} // namespace
