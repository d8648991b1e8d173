// Calls the library copy in this process, which runs a QApplication, the way
// a host that uses the toolkit itself does (flag bit 28): failed starts, a
// call without an application object, and the modules of repeated calls.
#include "rows.h"
#include "testsandbox.h"

#include <QApplication>
#include <QtTest>

namespace {
constexpr uint32_t hostApplication = VL_FLAG_HOST_APPLICATION | 0x71;

QStringList debugLines;

const struct
{
    const char* name;
    QList<TestModule> modules;
    bool nullSettings;
    uint32_t flags;
    QStringList expectedLog;
} failedStarts[] = {
    { "null settings", TestSandbox::standardModules, true, hostApplication, {} },
    { "no settings-file module", { TestModule::Encoder, TestModule::Import }, false, hostApplication, {} },
    { "settings-file module without its entry point", { TestModule::ConfigWithoutEntry, TestModule::Encoder }, false,
        hostApplication, { "vl_config_mpa attach" } },
    // The parameter is 0 with the record flag set.
    { "record flag with a null record", TestSandbox::standardModules, false, hostApplication | VL_FLAG_PARAMS_RECORD,
        { "vl_config_mpa attach", "vl_enc_mpa attach", "vl_mfimport attach" } },
};
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
            EncoderSettings scratch = hostBlock();
            sandbox->call(&scratch, VL_FLAG_HOST_APPLICATION, 0);
        }
        QVERIFY(!sandbox->anyModuleMapped());
    }

    void failedStart_data() { addRows(failedStarts); }

    void failedStart()
    {
        const auto& [name, modules, nullSettings, flags, expectedLog] = currentRow(failedStarts);
        QVERIFY(sandbox->setModules(modules));
        EncoderSettings settings = hostBlock();
        QCOMPARE(sandbox->call(nullSettings ? nullptr : &settings, flags, 0), int32_t(VL_DIALOG_FAILED));
        QCOMPARE(sandbox->callLog(), expectedLog);
        QCOMPARE(blockDifference(settings, hostBlock()), QString());
    }

    // No check runs, and each module is released at the end of the call.
    void noApplicationObjectAcceptsWithoutDialog()
    {
        EncoderSettings settings = hostBlock();
        DialogParams record {};
        QCOMPARE(sandbox->call(&settings, hostApplication | VL_FLAG_PARAMS_RECORD, reinterpret_cast<intptr_t>(&record)),
            int32_t(VL_DIALOG_ACCEPTED));
        QCOMPARE(blockDifference(settings, hostBlock()), QString());
        QCOMPARE(sandbox->callLog().filter(QStringLiteral(" check ")), QStringList());
        QCOMPARE(sandbox->callLog().filter(QStringLiteral(" detach")).size(), 3);
        QVERIFY(!sandbox->anyModuleMapped());
    }

    // Each call loads and releases the modules and reports the encoder
    // module; with no window of the host active, the dialog becomes the
    // active one once it is shown (a poll after it opens).
    void repeatedCallsLoadTheModulesAnew()
    {
        QCOMPARE(QApplication::activeWindow(), nullptr);
        const QtMessageHandler previous
            = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
                  debugLines << (type == QtDebugMsg ? message : QString());
              });
        for (int call = 1; call <= 2; ++call) {
            sandbox->clearCallLog();
            debugLines.clear();
            EncoderSettings settings = hostBlock();
            QStringList steps;
            const QString script = QStringLiteral("expect:presetButton.enabled=1;expect:active=1;ok");
            QCOMPARE(sandbox->call(&settings, hostApplication, reinterpret_cast<intptr_t>(QCoreApplication::instance()),
                         script, &steps),
                int32_t(VL_DIALOG_ACCEPTED));
            QCOMPARE(steps, script.split(';'));
            const QStringList log = sandbox->callLog();
            QCOMPARE(log.filter(QStringLiteral(" attach")).size(), 3);
            QCOMPARE(log.filter(QStringLiteral(" detach")).size(), 3);
            QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa check")).size(), 1);
            QCOMPARE(debugLines.filter(QStringLiteral("uses vl_enc_mpa.dll")).size(), 1);
        }
        qInstallMessageHandler(previous);
    }
};

QTEST_MAIN(TestHostApplicationRun)
#include "tst_hostapplicationrun.moc"
