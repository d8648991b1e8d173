// Dialog runs through the exported function in a child process whose
// locale is German, Japanese or neutral: the texts of the form and the code
// appear in that language, while the value-table entries stay untranslated,
// so that picking one still stores its code in the settings.
#include "dialogdriver.h"
#include "testsandbox.h"

#include <QtTest>

namespace {

QString describe(const RunResult& result)
{
    return result.observations.join(QLatin1Char('\n')) + QLatin1Char('\n') + result.standardError;
}

// A child's environment for the locale, with the sandbox among the
// toolkit's library paths, where the library looks for its translations.
QStringList localeEnvironment(const QString& locale, const QString& sandboxPath)
{
    return { QStringLiteral("LC_ALL=") + locale, QStringLiteral("LC_MESSAGES=") + locale,
        QStringLiteral("LANG=") + locale, QStringLiteral("LANGUAGE="),
        QStringLiteral("QT_PLUGIN_PATH=") + sandboxPath };
}

} // namespace

class TestLocalizedRun : public SandboxTest
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SandboxTest::initTestCase();
        if (QTest::currentTestFailed())
            return;
        // The library looks for its translations along the toolkit's library
        // paths; the child adds the sandbox to them (QT_PLUGIN_PATH below).
        for (const char* language : { "de", "jp" }) {
            const QString name = QStringLiteral("gui_mpa_%1.qm").arg(QLatin1String(language));
            QVERIFY2(sandbox->addFile(QStringLiteral(VL_QM_DIR "/") + name, name), qPrintable(name));
        }
    }

    void pickModeUnderLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int32_t>("code");

        QTest::newRow("German, mono") << "de_DE.UTF-8"
                                      << "Veltrano MPEG-1/2 Audio-Encoder-Einstellungen"
                                      << "Grundeinstellungen"
                                      << "Mono" << int32_t(VL_MODE_MONO);
        QTest::newRow("Japanese, stereo")
            << "ja_JP.UTF-8" << QString::fromUtf8("Veltrano MPEG-1/2 オーディオエンコーダーの設定")
            << QString::fromUtf8("基本設定") << "Stereo" << int32_t(VL_MODE_STEREO);
        QTest::newRow("neutral, mono") << "C"
                                       << "Veltrano MPEG-1/2 Audio Encoder Settings"
                                       << "Basic Settings"
                                       << "Mono" << int32_t(VL_MODE_MONO);
    }

    void pickModeUnderLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, title);
        QFETCH(QString, tab);
        QFETCH(QString, mode);
        QFETCH(int32_t, code);

        RunOptions options;
        options.settings = E2e::hostSettings();
        options.flags = 0x51;
        options.script = QStringLiteral("dump;pick:modeList:%1;dump;ok").arg(mode);
        options.environment = localeEnvironment(locale, sandbox->path());

        const RunResult result = sandbox->run(options);
        QVERIFY2(result.finished, qPrintable(describe(result)));
        QCOMPARE(result.results, QList<int32_t> { VL_DIALOG_ACCEPTED });

        QCOMPARE(E2e::dumpValue(result.observations, 1, QStringLiteral("title")), title);
        QCOMPARE(E2e::dumpValue(result.observations, 1, QStringLiteral("tabs.tabWidget")), tab);
        // The lists show the untranslated table texts in every language.
        QCOMPARE(E2e::dumpValue(result.observations, 1, QStringLiteral("combo.modeList.items")),
            QStringLiteral("Stereo|Joint Stereo|Dual Channel|Mono"));
        QCOMPARE(E2e::dumpValue(result.observations, 1, QStringLiteral("combo.emphasisList.items")),
            QString::fromUtf8("Off|50/15 µs|CCITT J.17"));
        QCOMPARE(E2e::dumpValue(result.observations, 2, QStringLiteral("combo.modeList")), mode);
        QCOMPARE(result.settings.mode, code);
    }

    // The real encoder and localisation modules: the encoder module reports
    // through the localisation module that the dialog loaded.
    void encoderMessagesUnderLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("message");
        QTest::newRow("German")
            << "de_DE.UTF-8"
            << QString::fromUtf8("Die Abtastrate 44100 Hz ist für DVD-Video nicht zulässig; verwenden Sie 48000 Hz.");
        QTest::newRow("Japanese") << "ja_JP.UTF-8"
                                  << QString::fromUtf8("サンプリング周波数 44100 Hz は DVD-Video "
                                                       "では使用できません。48000 Hz を使用してください。");
        QTest::newRow("neutral") << "C"
                                 << "Sampling frequency 44100 Hz is not allowed for DVD-Video; use 48000 Hz.";
    }

    void encoderMessagesUnderLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, message);
        for (const char* module : { "vl_enc_mpa.so", "gui_mpa_localize.so" })
            QVERIFY(sandbox->addFile(QStringLiteral(VL_QM_DIR "/") + QLatin1String(module), QLatin1String(module)));

        RunOptions options;
        options.settings = E2e::hostSettings();
        options.settings.mode = VL_MODE_STEREO;
        options.settings.audioType = VL_AUDIO_MPEG2_DVD;
        options.settings.sampleFrequency = 44100;
        options.flags = 0x71;
        options.script = QStringLiteral("ok;dump;cancel");
        options.environment = localeEnvironment(locale, sandbox->path());

        const RunResult result = sandbox->run(options);
        QVERIFY2(result.finished, qPrintable(describe(result)));
        QCOMPARE(result.results, QList<int32_t> { VL_DIALOG_REJECTED });
        QCOMPARE(E2e::dumpValue(result.observations, 1, QStringLiteral("text.errorLog")), message);
    }
};

QTEST_MAIN(TestLocalizedRun)
#include "tst_localizedrun.moc"
