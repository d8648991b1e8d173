// Calls the library copy in this process while no application object exists,
// as a plain host does: the library creates and destroys its own
// QApplication for every call.
#include "testsandbox.h"

#include <QtTest>

class TestStandaloneRun : public SandboxTest
{
    Q_OBJECT

private slots:
    // Each call's application arms a driver of its own, and each call makes
    // its dialog the active window once it is shown (a poll after it opens).
    // OK writes the test encoder module's defaults (Layer I) back into the
    // host's block; every call loads and releases the modules.
    void twoCallsInARow()
    {
        const QString script = QStringLiteral("click:presetButton;expect:active=1;ok");
        for (int call = 1; call <= 2; ++call) {
            EncoderSettings settings = hostBlock();
            QStringList steps;
            QCOMPARE(sandbox->call(&settings, 0x71, 0, script, &steps), int32_t(VL_DIALOG_ACCEPTED));
            QCOMPARE(steps, script.split(';'));
            QCOMPARE(settings.layer, 1);
        }
        const QStringList log = sandbox->callLog();
        QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa attach")).size(), 2);
        QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa detach")).size(), 2);
        QCOMPARE(log.filter(QStringLiteral("vl_config_mpa detach")).size(), 2);
    }

    void endOfRun_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<intptr_t>("parent");
        QTest::newRow("escape") << QStringLiteral("click:presetButton;escape") << intptr_t(0);
        // A native window handle the window system cannot resolve here.
        QTest::newRow("ok with a host window handle") << QStringLiteral("click:presetButton;ok") << intptr_t(0x4a0012);
    }

    void endOfRun()
    {
        QFETCH(QString, script);
        QFETCH(intptr_t, parent);
        const bool ok = script.endsWith(QLatin1String(";ok"));
        EncoderSettings settings = hostBlock();
        QStringList steps;
        QCOMPARE(sandbox->call(&settings, 0x71, parent, script, &steps),
            int32_t(ok ? VL_DIALOG_ACCEPTED : VL_DIALOG_REJECTED));
        QCOMPARE(steps, script.split(';'));
        QCOMPARE(settings.layer, ok ? 1 : 2);
    }

    void recordTitleAndFlags_data()
    {
        QTest::addColumn<bool>("record");
        QTest::addColumn<QByteArray>("title"); // null: none
        QTest::addColumn<QString>("expected");
        const QString builtIn = QStringLiteral("Veltrano MPEG-1/2 Audio Encoder Settings");
        QTest::newRow("no record") << false << QByteArray() << builtIn;
        QTest::newRow("record without title") << true << QByteArray() << builtIn;
        QTest::newRow("record with title")
            << true << QByteArray("Authoring Suite") << QStringLiteral("Authoring Suite");
    }

    // The record's flags are overwritten with the call's; a record that is
    // not passed keeps its own.
    void recordTitleAndFlags()
    {
        QFETCH(bool, record);
        QFETCH(QByteArray, title);
        QFETCH(QString, expected);
        DialogParams params {};
        params.flags = 0xdeadbeef;
        params.title = title.isNull() ? nullptr : title.constData();
        const uint32_t flags = record ? VL_FLAG_PARAMS_RECORD | 0x71 : 0x71;
        EncoderSettings settings = hostBlock();
        QStringList steps;
        const QString script = QStringLiteral("expect:title=%1;cancel").arg(expected);
        QCOMPARE(sandbox->call(&settings, flags, record ? reinterpret_cast<intptr_t>(&params) : 0, script, &steps),
            int32_t(VL_DIALOG_REJECTED));
        QCOMPARE(steps, script.split(';'));
        QCOMPARE(params.flags, record ? flags : 0xdeadbeefu);
    }
};

QTEST_APPLESS_MAIN(TestStandaloneRun)
#include "tst_standalonerun.moc"
