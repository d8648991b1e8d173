// Calls the library copy in this process, which runs a QApplication, as a
// host that uses the toolkit itself does (flag bit 28); and the host programs.
#include "processrun.h"
#include "rows.h"
#include "testsandbox.h"

#include <QApplication>
#include <QtTest>

namespace {
constexpr uint32_t hostApplication = VL_FLAG_HOST_APPLICATION | 0x71;
const QStringList attached = { "vl_config_mpa attach", "vl_enc_mpa attach", "vl_mfimport attach" };
const QStringList detached = { "vl_enc_mpa detach", "vl_mfimport detach", "vl_config_mpa detach" };

// name, modules, null settings, flags, a DialogParams record (flags 0: no
// application object, so nothing is shown), the result, the modules' calls
const std::tuple<const char*, QList<TestModule>, bool, uint32_t, bool, int, QStringList> undisplayed[] = {
    { "null settings", TestSandbox::standardModules, true, hostApplication, false, VL_DIALOG_FAILED, {} },
    { "no settings-file module", { TestModule::Encoder, TestModule::Import }, false, hostApplication, false,
        VL_DIALOG_FAILED, {} },
    { "settings-file module without its entry point", { TestModule::ConfigWithoutEntry, TestModule::Encoder }, false,
        hostApplication, false, VL_DIALOG_FAILED, { "vl_config_mpa attach" } },
    { "record flag, parameter 0", TestSandbox::standardModules, false, hostApplication | VL_FLAG_PARAMS_RECORD, false,
        VL_DIALOG_FAILED, attached },
    { "no application object", TestSandbox::standardModules, false, hostApplication | VL_FLAG_PARAMS_RECORD, true,
        VL_DIALOG_ACCEPTED, attached + detached },
};
} // namespace

class TestHostApplicationRun : public SandboxTest
{
    Q_OBJECT

private slots:
    // A failed start leaves its modules loaded until the next call.
    void cleanup()
    {
        EncoderSettings scratch = hostBlock();
        if (sandbox->anyModuleMapped() && sandbox->setModules(TestSandbox::standardModules))
            sandbox->call(&scratch, VL_FLAG_HOST_APPLICATION, 0);
        QVERIFY(!sandbox->anyModuleMapped());
    }

    void undisplayedRun_data() { addRows(undisplayed); }

    void undisplayedRun()
    {
        const auto& [name, modules, nullSettings, flags, record, result, calls] = currentRow(undisplayed);
        QVERIFY(sandbox->setModules(modules));
        EncoderSettings settings = hostBlock();
        DialogParams params {};
        QCOMPARE(sandbox->call(nullSettings ? nullptr : &settings, flags, record ? intptr_t(&params) : 0), result);
        QCOMPARE(sandbox->callLog(), calls);
        QCOMPARE(blockDifference(settings, hostBlock()), QString());
    }

    // Both fail to start; mpa-settings prints the block it passed all the same.
    void hostPrograms()
    {
        QVERIFY(sandbox->setModules({ TestModule::Encoder }));
        const ProcessRun host = runProcess(QStringLiteral(VL_HOST_PROGRAM),
            { "--library", sandbox->libraryPath(), "--mode", "mono", "--sample-rate", "22050" });
        QCOMPARE(host.exitCode, 2);
        QVERIFY(host.standardOutput.startsWith("result=1\nmode=3\n") && host.standardOutput.endsWith("=22050\n"));
        QVERIFY2(host.standardError.contains(QStringLiteral("could not start")), qPrintable(host.standardError));
        const ProcessRun example = runProcess(QStringLiteral(VL_EXAMPLE_HOST), { sandbox->libraryPath() });
        QCOMPARE(example.exitCode, 1);
        QCOMPARE(example.standardOutput, QStringLiteral("the dialog could not start (1)\n"));
    }

    // Each call loads and releases the modules, and makes the dialog active.
    void repeatedCalls()
    {
        QCOMPARE(QApplication::activeWindow(), nullptr);
        const QString script = QStringLiteral("expect:presetButton.enabled=1;expect:active=1;ok");
        for (int call = 1; call <= 2; ++call) {
            sandbox->clearCallLog();
            EncoderSettings settings = hostBlock();
            QStringList steps;
            QCOMPARE(sandbox->call(&settings, hostApplication, intptr_t(qApp), script, &steps), VL_DIALOG_ACCEPTED);
            QCOMPARE(steps, script.split(';'));
            QCOMPARE(sandbox->callLog(), attached + QStringList { "vl_enc_mpa check 0 48000" } + detached);
        }
    }
};

QTEST_MAIN(TestHostApplicationRun)
#include "tst_hostapplicationrun.moc"
