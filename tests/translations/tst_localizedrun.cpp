// Dialog runs through the exported function under a German or Japanese
// locale: the dialog's own texts appear in that language, while the
// value-table entries stay untranslated, so that choosing one still stores
// its code in the settings.
#include "testsandbox.h"

#include <QtTest>

class TestLocalizedRun : public SandboxTest
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SandboxTest::initTestCase();
        // The library looks for its translations along the library paths.
        for (const char* language : { "de", "jp" }) {
            const QString name = QStringLiteral("gui_mpa_%1.qm").arg(QLatin1String(language));
            QVERIFY2(QFile::copy(QStringLiteral(VL_QM_DIR "/") + name, sandbox->path() + "/" + name), qPrintable(name));
        }
        QCoreApplication::addLibraryPath(sandbox->path());
    }

    void chooseUnderLocale_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("script");
        QTest::addColumn<int32_t>("mode");
        QTest::addColumn<int32_t>("emphasis");
        QTest::newRow("German") << QByteArray("de_DE.UTF-8")
                                << QString::fromUtf8("expect:title=Veltrano MPEG-1/2 Audio-Encoder-Einstellungen;"
                                                     "choose:modeList:Mono;choose:emphasisList:50/15 µs;ok")
                                << int32_t(VL_MODE_MONO) << int32_t(VL_EMPHASIS_50_15);
        QTest::newRow("Japanese") << QByteArray("ja_JP.UTF-8")
                                  << QString::fromUtf8("expect:title=Veltrano MPEG-1/2 オーディオエンコーダーの設定;"
                                                       "choose:modeList:Stereo;choose:emphasisList:CCITT J.17;ok")
                                  << int32_t(VL_MODE_STEREO) << int32_t(VL_EMPHASIS_CCITT_J17);
    }

    void chooseUnderLocale()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QString, script);
        QFETCH(int32_t, mode);
        QFETCH(int32_t, emphasis);
        for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" })
            qputenv(name, locale);
        EncoderSettings settings = hostSettings();
        QStringList steps;
        QCOMPARE(sandbox->call(&settings, VL_FLAG_HOST_APPLICATION | 0x51,
                     reinterpret_cast<intptr_t>(QCoreApplication::instance()), script, &steps),
            int32_t(VL_DIALOG_ACCEPTED));
        QCOMPARE(steps, script.split(';'));
        QCOMPARE(settings.mode, mode);
        QCOMPARE(settings.emphasis, emphasis);
    }
};

QTEST_MAIN(TestLocalizedRun)
#include "tst_localizedrun.moc"
