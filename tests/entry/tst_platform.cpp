#include "platform/platform.h"

#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void languageFromLocaleName_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<int>("expected");
        QTest::newRow("German") << QByteArray("de_DE.UTF-8") << 0x0407;
        QTest::newRow("upper case") << QByteArray("DE_DE") << 0x0407;
        QTest::newRow("Japanese") << QByteArray("ja_JP.eucJP") << 0x0411;
        QTest::newRow("C locale") << QByteArray("C") << 0x0409;
        QTest::newRow("POSIX") << QByteArray("POSIX") << 0x0409;
        QTest::newRow("unknown language") << QByteArray("xx_YY") << 0;
        QTest::newRow("prefix of a code is no code") << QByteArray("d") << 0;
        QTest::newRow("longer word") << QByteArray("deutsch") << 0;
    }

    void languageFromLocaleName()
    {
        QFETCH(QByteArray, locale);
        QFETCH(int, expected);
        QCOMPARE(int(Platform::languageIdFromLocaleName(locale.constData())), expected);
        QCOMPARE(int(Platform::languageIdFromLocaleName(nullptr)), 0);
    }

    void environmentOrder_data()
    {
        QTest::addColumn<QByteArray>("lcAll");
        QTest::addColumn<QByteArray>("lcMessages");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<int>("expectedPrimary");
        QTest::newRow("LC_ALL wins") << QByteArray("ja_JP") << QByteArray("de_DE") << QByteArray("en_US") << 0x11;
        QTest::newRow("LC_MESSAGES next") << QByteArray() << QByteArray("de_DE") << QByteArray("ja_JP") << 0x07;
        QTest::newRow("empty LC_ALL is skipped") << QByteArray("") << QByteArray() << QByteArray("de_CH") << 0x07;
        QTest::newRow("LANG last") << QByteArray() << QByteArray() << QByteArray("ja_JP.UTF-8") << 0x11;
    }

    void environmentOrder()
    {
        QFETCH(QByteArray, lcAll);
        QFETCH(QByteArray, lcMessages);
        QFETCH(QByteArray, lang);
        QFETCH(int, expectedPrimary);
        const auto set = [](const char* name, const QByteArray& value) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        };
        set("LC_ALL", lcAll);
        set("LC_MESSAGES", lcMessages);
        set("LANG", lang);
        const uint16_t id = Platform::userDefaultLanguageId();
        QCOMPARE(int(Platform::primaryLanguage(id)), expectedPrimary);
        QCOMPARE(int(id & 0xff), expectedPrimary);
    }
};

QTEST_APPLESS_MAIN(TestPlatform)
#include "tst_platform.moc"
