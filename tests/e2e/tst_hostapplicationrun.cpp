// Calls the library copy in this process, which runs a QApplication, the way
// a host that uses the toolkit itself does (flag bit 28): failed starts, a
// call without an application object, and the modules of repeated calls.

#include "testsandbox.h"

#include <QApplication>
#include <QtTest>
#include <cstring>

namespace {
constexpr uint32_t hostApplication = VL_FLAG_HOST_APPLICATION | 0x71;

QStringList debugLines;

void captureDebug(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg)
        debugLines << message;
}
} // namespace

class TestHostApplicationRun : public SandboxTest
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        // A failed start leaves its modules loaded until the next call; a
        // call without an application object releases them.
        if (sandbox->anyModuleMapped()) {
            QVERIFY(sandbox->setModules(TestSandbox::standardModules));
            EncoderSettings scratch = hostSettings();
            sandbox->call(&scratch, VL_FLAG_HOST_APPLICATION, 0);
        }
        QVERIFY(!sandbox->anyModuleMapped());
    }

    void failedStarts_data()
    {
        QTest::addColumn<QList<TestModule>>("modules");
        QTest::addColumn<bool>("nullSettings");
        QTest::addColumn<uint32_t>("flags");
        QTest::addColumn<QStringList>("expectedLog");
        const QList<TestModule> standard = TestSandbox::standardModules;
        QTest::newRow("null settings") << standard << true << hostApplication << QStringList();
        QTest::newRow("no settings-file module") << QList<TestModule> { TestModule::Encoder, TestModule::Import }
                                                 << false << hostApplication << QStringList();
        QTest::newRow("settings-file module without its entry point")
            << QList<TestModule> { TestModule::ConfigWithoutEntry, TestModule::Encoder } << false << hostApplication
            << QStringList { "vl_config_mpa attach" };
        // The parameter is 0 with the record flag set.
        QTest::newRow("record flag with a null record")
            << standard << false << (hostApplication | VL_FLAG_PARAMS_RECORD)
            << QStringList { "vl_config_mpa attach", "vl_enc_mpa attach", "vl_mfimport attach" };
    }

    void failedStarts()
    {
        QFETCH(QList<TestModule>, modules);
        QFETCH(bool, nullSettings);
        QFETCH(uint32_t, flags);
        QFETCH(QStringList, expectedLog);
        QVERIFY(sandbox->setModules(modules));
        EncoderSettings settings = hostSettings();
        QCOMPARE(sandbox->call(nullSettings ? nullptr : &settings, flags, 0), int32_t(VL_DIALOG_FAILED));
        QCOMPARE(sandbox->callLog(), expectedLog);
        const EncoderSettings unchanged = hostSettings();
        QVERIFY(std::memcmp(&settings, &unchanged, sizeof settings) == 0);
    }

    void noApplicationObjectAcceptsWithoutDialog()
    {
        EncoderSettings settings = hostSettings();
        DialogParams record {};
        QCOMPARE(sandbox->call(&settings, hostApplication | VL_FLAG_PARAMS_RECORD, reinterpret_cast<intptr_t>(&record)),
            int32_t(VL_DIALOG_ACCEPTED));
        const EncoderSettings unchanged = hostSettings();
        QVERIFY(std::memcmp(&settings, &unchanged, sizeof settings) == 0);
        // No check ran, and each module was released at the end of the call.
        QCOMPARE(sandbox->callLog().filter(QStringLiteral(" check ")), QStringList());
        QCOMPARE(sandbox->callLog().filter(QStringLiteral(" detach")).size(), 3);
        QVERIFY(!sandbox->anyModuleMapped());
    }

    // With no window of the host active, the dialog becomes the active one
    // once it is shown (a poll after it opens).
    void dialogBecomesTheActiveWindow()
    {
        QCOMPARE(QApplication::activeWindow(), nullptr);
        EncoderSettings settings = hostSettings();
        QStringList steps;
        const QString script = QStringLiteral("expect:presetButton.enabled=1;expect:active=1;cancel");
        QCOMPARE(sandbox->call(&settings, hostApplication, reinterpret_cast<intptr_t>(QCoreApplication::instance()),
                     script, &steps),
            int32_t(VL_DIALOG_REJECTED));
        QCOMPARE(steps, script.split(';'));
    }

    void repeatedCallsLoadTheModulesAnew()
    {
        for (int call = 1; call <= 2; ++call) {
            sandbox->clearCallLog();
            debugLines.clear();
            EncoderSettings settings = hostSettings();
            QStringList steps;
            const QtMessageHandler previous = qInstallMessageHandler(captureDebug);
            const int32_t result = sandbox->call(&settings, hostApplication,
                reinterpret_cast<intptr_t>(QCoreApplication::instance()), QStringLiteral("ok"), &steps);
            qInstallMessageHandler(previous);
            QCOMPARE(result, int32_t(VL_DIALOG_ACCEPTED));
            QCOMPARE(steps, QStringList { "ok" });
            const QStringList log = sandbox->callLog();
            QCOMPARE(log.filter(QStringLiteral(" attach")).size(), 3);
            QCOMPARE(log.filter(QStringLiteral(" detach")).size(), 3);
            QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa check")).size(), 1);
            QCOMPARE(debugLines.filter(QStringLiteral("uses vl_enc_mpa.dll")).size(), 1);
        }
    }
};

QTEST_MAIN(TestHostApplicationRun)
#include "tst_hostapplicationrun.moc"
