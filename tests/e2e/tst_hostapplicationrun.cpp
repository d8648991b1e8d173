// Calls the library copy in this process, which runs a QApplication, as a
// host that uses the toolkit itself does (flag bit 28); and the host programs.
#include "processrun.h"
#include "rows.h"
#include "testsandbox.h"

#include <QApplication>
#include <QtTest>

namespace {
constexpr uint32_t hostApplication = VL_FLAG_HOST_APPLICATION | 0x71;
const QStringList allAttached = { "vl_config_mpa attach", "vl_enc_mpa attach", "vl_mfimport attach" };

// name, modules, null settings, flags, the modules' call log
const std::tuple<const char*, QList<TestModule>, bool, uint32_t, QStringList> failedStarts[] = {
    { "null settings", TestSandbox::standardModules, true, hostApplication, {} },
    { "no settings-file module", { TestModule::Encoder, TestModule::Import }, false, hostApplication, {} },
    { "settings-file module without its entry point", { TestModule::ConfigWithoutEntry, TestModule::Encoder }, false,
        hostApplication, { "vl_config_mpa attach" } },
    { "record flag, parameter 0", TestSandbox::standardModules, false, hostApplication | VL_FLAG_PARAMS_RECORD,
        allAttached },
};
} // namespace

class TestHostApplicationRun : public SandboxTest
{
    Q_OBJECT

private slots:
    // A failed start leaves its modules loaded until the next call.
    void cleanup()
    {
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

    // Both fail to start; mpa-settings prints the block it passed all the same.
    void hostPrograms()
    {
        QVERIFY(sandbox->setModules({ TestModule::Encoder }));
        const ProcessRun host = runProcess(QStringLiteral(VL_HOST_PROGRAM),
            { "--library", sandbox->libraryPath(), "--mode", "mono", "--sample-rate", "22050" });
        QCOMPARE(host.exitCode, 2);
        QCOMPARE(host.standardOutput,
            "result=1\nmode=3\nlayer=2\npsychModel=1\nbitrateIndex=11\nemphasis=0\nprivateBit=0\nerrorProtection=0\n"
            "copyrightBit=0\noriginalBit=0\naudioType=0\nsampleFrequency=22050\n");
        QVERIFY2(host.standardError.contains(QStringLiteral("could not start")), qPrintable(host.standardError));
        const ProcessRun example = runProcess(QStringLiteral(VL_EXAMPLE_HOST), { sandbox->libraryPath() });
        QCOMPARE(example.exitCode, 1);
        QCOMPARE(example.standardOutput, QStringLiteral("the dialog could not start (1)\n"));
    }

    // Without an application object nothing is shown and no check runs.
    void noApplicationObject()
    {
        EncoderSettings settings = hostBlock();
        DialogParams record {};
        QCOMPARE(sandbox->call(&settings, hostApplication | VL_FLAG_PARAMS_RECORD, intptr_t(&record)),
            int32_t(VL_DIALOG_ACCEPTED));
        QCOMPARE(blockDifference(settings, hostBlock()), QString());
        QCOMPARE(sandbox->callLog().filter(QStringLiteral(" check ")), QStringList());
        QCOMPARE(sandbox->callLog().filter(QStringLiteral(" detach")).size(), 3);
    }

    // Each call loads and releases the modules, and makes the dialog active.
    void repeatedCalls()
    {
        QCOMPARE(QApplication::activeWindow(), nullptr);
        for (int call = 1; call <= 2; ++call) {
            sandbox->clearCallLog();
            EncoderSettings settings = hostBlock();
            QStringList steps;
            QCOMPARE(sandbox->call(&settings, hostApplication, intptr_t(qApp),
                         "expect:presetButton.enabled=1;expect:active=1;ok", &steps),
                int32_t(VL_DIALOG_ACCEPTED));
            QCOMPARE(steps, (QStringList { "expect:presetButton.enabled=1", "expect:active=1", "ok" }));
            const QStringList log = sandbox->callLog();
            QCOMPARE(log.filter(QStringLiteral(" attach")).size(), 3);
            QCOMPARE(log.filter(QStringLiteral(" detach")).size(), 3);
            QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa check")).size(), 1);
        }
    }
};

QTEST_MAIN(TestHostApplicationRun)
#include "tst_hostapplicationrun.moc"
