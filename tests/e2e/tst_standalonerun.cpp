// Runs the library in a child process that has no application object, as a
// plain host does: the library constructs and destroys its own QApplication.

#include "testsandbox.h"

#include <QtTest>
#include <cstring>

Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace {
QString describe(const RunResult& result)
{
    return QStringLiteral("exit %1, observations:\n%2\nstderr:\n%3")
        .arg(result.exitCode)
        .arg(result.observations.join('\n'), result.standardError);
}
} // namespace

class TestStandaloneRun : public SandboxTest
{
    Q_OBJECT

private slots:
    void endOfRun_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<uint64_t>("parent");
        QTest::addColumn<int32_t>("expected");
        QTest::newRow("ok") << QStringLiteral("click:presetButton;ok") << uint64_t(0) << int32_t(VL_DIALOG_ACCEPTED);
        QTest::newRow("escape") << QStringLiteral("click:presetButton;escape") << uint64_t(0)
                                << int32_t(VL_DIALOG_REJECTED);
        // A native window handle the window system cannot resolve here.
        QTest::newRow("ok with a host window handle")
            << QStringLiteral("click:presetButton;ok") << uint64_t(0x4a0012) << int32_t(VL_DIALOG_ACCEPTED);
    }

    void endOfRun()
    {
        QFETCH(QString, script);
        QFETCH(uint64_t, parent);
        QFETCH(int32_t, expected);
        QVERIFY(sandbox->setControl({ "defaults.layer=1", "defaults.psychModel=2", "defaults.opaque=17" }));
        RunOptions options;
        options.settings = E2e::hostSettings();
        options.parent = parent;
        options.script = script;

        const RunResult result = sandbox->run(options);

        QVERIFY2(result.finished && result.exitCode == 0, qPrintable(describe(result)));
        QCOMPARE(result.results, QList<int32_t> { expected });
        QVERIFY2(!result.observations.contains(QStringLiteral("timeout")), qPrintable(describe(result)));
        EncoderSettings written = options.settings;
        if (expected == VL_DIALOG_ACCEPTED) {
            // Fields without a control key get the module's fixed defaults.
            written.mode = 1;
            written.layer = 1;
            written.psychModel = 2;
            written.bitrateIndex = 11;
            written.emphasis = 0;
            written.privateBit = 0;
            written.errorProtection = 0;
            written.copyrightBit = 0;
            written.originalBit = 1;
            std::memset(written.opaque, 17, sizeof written.opaque);
        }
        QVERIFY(E2e::sameBytes(result.settings, written));
    }

    void windowTitle_data()
    {
        QTest::addColumn<bool>("record");
        QTest::addColumn<std::optional<QByteArray>>("title");
        QTest::addColumn<QString>("expected");
        const QString builtIn = QStringLiteral("Veltrano MPEG-1/2 Audio Encoder Settings");
        QTest::newRow("no record") << false << std::optional<QByteArray>() << builtIn;
        QTest::newRow("record without title") << true << std::optional<QByteArray>() << builtIn;
        QTest::newRow("record with title")
            << true << std::optional<QByteArray>("Authoring Suite") << QStringLiteral("Authoring Suite");
        QTest::newRow("record with empty title") << true << std::optional<QByteArray>("") << QString();
    }

    void windowTitle()
    {
        QFETCH(bool, record);
        QFETCH(std::optional<QByteArray>, title);
        QFETCH(QString, expected);
        RunOptions options;
        options.settings = E2e::hostSettings();
        options.record = record;
        options.recordFlags = 0xdeadbeef;
        options.flags = record ? VL_FLAG_PARAMS_RECORD | 0x71 : 0x71;
        options.title = title;
        options.script = QStringLiteral("dump;cancel");

        const RunResult result = sandbox->run(options);

        QCOMPARE(result.results, QList<int32_t> { VL_DIALOG_REJECTED });
        QCOMPARE(E2e::dumpValue(result.observations, 1, QStringLiteral("title")), expected);
        QCOMPARE(E2e::dumpValue(result.observations, 1, QStringLiteral("class")), QStringLiteral("MPAEncoderDlg"));
        // The record's flags are overwritten with the call's flags; a
        // record that is not passed keeps its own.
        QCOMPARE(result.recordFlags, record ? options.flags : 0xdeadbeefu);
    }

    void twoCallsInARow()
    {
        RunOptions options;
        options.settings = E2e::hostSettings();
        options.calls = 2;
        options.script = QStringLiteral("dump;dump;ok");

        const RunResult result = sandbox->run(options);

        QCOMPARE(result.results, (QList<int32_t> { VL_DIALOG_ACCEPTED, VL_DIALOG_ACCEPTED }));
        // Each call's application arms a driver of its own, and each call
        // makes its dialog the active window once it is shown.
        QCOMPARE(result.observations.filter(QStringLiteral("dump 1 class=MPAEncoderDlg")).size(), 2);
        QCOMPARE(result.observations.filter(QStringLiteral("dump 2 active=1")).size(), 2);
        const QStringList log = sandbox->callLog();
        QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa attach")).size(), 2);
        QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa detach")).size(), 2);
        QCOMPARE(log.filter(QStringLiteral("vl_config_mpa detach")).size(), 2);
        QCOMPARE(result.standardError.count(QStringLiteral("uses vl_enc_mpa.dll")), 2);
    }
};

QTEST_GUILESS_MAIN(TestStandaloneRun)
#include "tst_standalonerun.moc"
