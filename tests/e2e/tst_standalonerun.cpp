// Calls the library copy in this process while no application object exists,
// as a plain host does: the library creates and destroys its own
// QApplication for every call.

#include "testsandbox.h"

#include <QtTest>
#include <cstring>

class TestStandaloneRun : public SandboxTest
{
    Q_OBJECT

private slots:
    void endOfRun_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<intptr_t>("parent");
        QTest::addColumn<int32_t>("expected");
        QTest::newRow("ok") << QStringLiteral("click:presetButton;ok") << intptr_t(0) << int32_t(VL_DIALOG_ACCEPTED);
        QTest::newRow("escape") << QStringLiteral("click:presetButton;escape") << intptr_t(0)
                                << int32_t(VL_DIALOG_REJECTED);
        // A native window handle the window system cannot resolve here.
        QTest::newRow("ok with a host window handle")
            << QStringLiteral("click:presetButton;ok") << intptr_t(0x4a0012) << int32_t(VL_DIALOG_ACCEPTED);
    }

    void endOfRun()
    {
        QFETCH(QString, script);
        QFETCH(intptr_t, parent);
        QFETCH(int32_t, expected);
        EncoderSettings settings = hostSettings();
        QStringList steps;
        QCOMPARE(sandbox->call(&settings, 0x71, parent, script, &steps), expected);
        QCOMPARE(steps, script.split(';'));

        // OK writes back the record half: the test module's defaults.
        EncoderSettings written = hostSettings();
        if (expected == VL_DIALOG_ACCEPTED) {
            std::memset(written.opaque, 17, sizeof written.opaque);
            written.mode = VL_MODE_MONO;
            written.layer = 1;
            written.psychModel = 2;
            written.originalBit = 1;
        }
        QVERIFY(std::memcmp(&settings, &written, sizeof settings) == 0);
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

    void recordTitleAndFlags()
    {
        QFETCH(bool, record);
        QFETCH(QByteArray, title);
        QFETCH(QString, expected);
        DialogParams params {};
        params.flags = 0xdeadbeef;
        params.title = title.isNull() ? nullptr : title.constData();
        const uint32_t flags = record ? VL_FLAG_PARAMS_RECORD | 0x71 : 0x71;
        EncoderSettings settings = hostSettings();
        QStringList steps;
        const QString script = QStringLiteral("expect:title=%1;cancel").arg(expected);
        QCOMPARE(sandbox->call(&settings, flags, record ? reinterpret_cast<intptr_t>(&params) : 0, script, &steps),
            int32_t(VL_DIALOG_REJECTED));
        QCOMPARE(steps, script.split(';'));
        // The record's flags are overwritten with the call's; a record that
        // is not passed keeps its own.
        QCOMPARE(params.flags, record ? flags : 0xdeadbeefu);
    }

    // Each call's application arms a driver of its own, and each call makes
    // its dialog the active window once it is shown (a poll after it opens).
    void twoCallsInARow()
    {
        const QString script = QStringLiteral("expect:presetButton.enabled=1;expect:active=1;ok");
        for (int call = 1; call <= 2; ++call) {
            EncoderSettings settings = hostSettings();
            QStringList steps;
            QCOMPARE(sandbox->call(&settings, 0x71, 0, script, &steps), int32_t(VL_DIALOG_ACCEPTED));
            QCOMPARE(steps, script.split(';'));
        }
        const QStringList log = sandbox->callLog();
        QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa attach")).size(), 2);
        QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa detach")).size(), 2);
        QCOMPARE(log.filter(QStringLiteral("vl_config_mpa detach")).size(), 2);
    }
};

QTEST_APPLESS_MAIN(TestStandaloneRun)
#include "tst_standalonerun.moc"
