// Dialog runs through the exported function with the real encoder and
// localisation modules: under the user's locale the encoder module reports
// through the localisation module that the dialog loaded beside the
// translation.
#include "testsandbox.h"

#include <QFile>
#include <QtTest>

class TestLocalizedRun : public SandboxTest
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SandboxTest::initTestCase();
        // The library looks for its translations along the library paths.
        QCoreApplication::addLibraryPath(sandbox->path());
    }

    void init()
    {
        QVERIFY(sandbox->setModules({ TestModule::Config, TestModule::Import }));
        for (const char* file : { "gui_mpa_de.qm", "gui_mpa_jp.qm", "vl_enc_mpa.so", "gui_mpa_localize.so" }) {
            QFile::remove(sandbox->filePath(QLatin1String(file)));
            QVERIFY2(QFile::copy(
                         QStringLiteral(VL_QM_DIR "/") + QLatin1String(file), sandbox->filePath(QLatin1String(file))),
                file);
        }
    }

    // The rows run in one process: the neutral one first, before any
    // localisation module is loaded.
    void encoderMessagesUnderLocale_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("message");
        QTest::newRow("neutral") << QByteArray("C")
                                 << "Sampling frequency 44100 Hz is not allowed for DVD-Video; use 48000 Hz.";
        QTest::newRow("German")
            << QByteArray("de_DE.UTF-8")
            << QString::fromUtf8("Die Abtastrate 44100 Hz ist für DVD-Video nicht zulässig; verwenden Sie 48000 Hz.");
        QTest::newRow("Japanese") << QByteArray("ja_JP.UTF-8")
                                  << QString::fromUtf8("サンプリング周波数 44100 Hz は DVD-Video "
                                                       "では使用できません。48000 Hz を使用してください。");
    }

    void encoderMessagesUnderLocale()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QString, message);
        for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" })
            qputenv(name, locale);
        EncoderSettings settings = hostSettings();
        settings.mode = VL_MODE_STEREO;
        settings.audioType = VL_AUDIO_MPEG2_DVD;
        settings.sampleFrequency = 44100;
        QStringList steps;
        const QString script = QStringLiteral("ok;expect:errorLog=%1;cancel").arg(QString(message).replace(';', "\\;"));
        QCOMPARE(sandbox->call(&settings, VL_FLAG_HOST_APPLICATION | 0x71,
                     reinterpret_cast<intptr_t>(QCoreApplication::instance()), script, &steps),
            int32_t(VL_DIALOG_REJECTED));
        QCOMPARE(steps, QStringList({ "ok", "expect:errorLog=" + message, "cancel" }));
    }
};

QTEST_MAIN(TestLocalizedRun)
#include "tst_localizedrun.moc"
