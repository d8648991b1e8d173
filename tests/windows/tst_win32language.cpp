// The user's default language on Windows, as the session sets it: wine takes
// it from the session's locale (LC_ALL), which CTest sets per run.
#include "platform/platform.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(UserLanguage, FollowsTheSessionsLocale)
{
    const char* const locale = std::getenv("LC_ALL");
    if (!locale || !*locale)
        GTEST_SKIP() << "LC_ALL is not set";
    const uint16_t expected = Platform::languageIdFromLocaleName(locale);
    ASSERT_NE(expected, Platform::LanguageNeutral) << locale;
    EXPECT_EQ(Platform::primaryLanguage(Platform::userDefaultLanguageId()), Platform::primaryLanguage(expected))
        << locale;
}

} // namespace
