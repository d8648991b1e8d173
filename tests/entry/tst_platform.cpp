#include "platform/platform.h"
#include "rows.h"

#include <QtTest>

namespace {
// name, locale name, language id (0: none)
const std::tuple<const char*, QByteArray, int> localeRows[] = {
    { "German", "de_DE.UTF-8", 0x0407 },
    { "upper case", "DE_DE", 0x0407 },
    { "Japanese", "ja_JP.eucJP", 0x0411 },
    { "C locale", "C", 0x0409 },
    { "POSIX", "POSIX", 0x0409 },
    { "unknown language", "xx_YY", 0 },
    { "prefix of a code is no code", "d", 0 },
    { "longer word", "deutsch", 0 },
};

// name, LC_ALL, LC_MESSAGES, LANG (null: unset), the primary language
const std::tuple<const char*, QByteArray, QByteArray, QByteArray, int> environmentRows[] = {
    { "LC_ALL wins", "ja_JP", "de_DE", "en_US", 0x11 },
    { "LC_MESSAGES next", QByteArray(), "de_DE", "ja_JP", 0x07 },
    { "empty LC_ALL is skipped", "", QByteArray(), "de_CH", 0x07 },
    { "LANG last", QByteArray(), QByteArray(), "ja_JP.UTF-8", 0x11 },
};
} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void languageFromLocaleName_data() { addRows(localeRows); }

    void languageFromLocaleName()
    {
        const auto& [name, locale, expected] = currentRow(localeRows);
        QCOMPARE(int(Platform::languageIdFromLocaleName(locale.constData())), expected);
        QCOMPARE(int(Platform::languageIdFromLocaleName(nullptr)), 0);
    }

    void environmentOrder_data() { addRows(environmentRows); }

    void environmentOrder()
    {
        const auto& [name, lcAll, lcMessages, lang, expectedPrimary] = currentRow(environmentRows);
        for (const auto& [variable, value] :
            { std::pair("LC_ALL", lcAll), { "LC_MESSAGES", lcMessages }, { "LANG", lang } })
            value.isNull() ? qunsetenv(variable) : qputenv(variable, value);
        const uint16_t id = Platform::userDefaultLanguageId();
        QCOMPARE(int(Platform::primaryLanguage(id)), expectedPrimary);
        QCOMPARE(int(id & 0xff), expectedPrimary);
    }
};

QTEST_APPLESS_MAIN(TestPlatform)
#include "tst_platform.moc"
