// The command-line host and the C example call the library as any host does;
// without a settings-file module the call ends before a dialog is shown. The
// host's command line itself is tested in tests/host.
#include "processrun.h"
#include "testsandbox.h"

#include <QtTest>

class TestHostPrograms : public QObject
{
    Q_OBJECT

    TestSandbox sandbox { { TestModule::Encoder } };

private slots:
    void initTestCase() { QVERIFY2(sandbox.errorString().isEmpty(), qPrintable(sandbox.errorString())); }

    // mpa-settings prints the block it passed all the same, field by field.
    void commandLineHost()
    {
        const ProcessRun output = runProcess(QStringLiteral(VL_HOST_PROGRAM),
            { "--library", sandbox.libraryPath(), "--mode", "mono", "--sample-rate", "22050" });
        QCOMPARE(output.exitCode, 2);
        QCOMPARE(output.standardOutput,
            "result=1\nmode=3\nlayer=2\npsychModel=1\nbitrateIndex=11\nemphasis=0\nprivateBit=0\nerrorProtection=0\n"
            "copyrightBit=0\noriginalBit=0\naudioType=0\nsampleFrequency=22050\n");
        QVERIFY2(output.standardError.contains(QStringLiteral("could not start")), qPrintable(output.standardError));
    }

    void exampleHost()
    {
        const ProcessRun output = runProcess(QStringLiteral(VL_EXAMPLE_HOST), { sandbox.libraryPath() });
        QCOMPARE(output.exitCode, 1);
        QCOMPARE(output.standardOutput, QStringLiteral("the dialog could not start (1)\n"));
    }
};

QTEST_GUILESS_MAIN(TestHostPrograms)
#include "tst_hostprograms.moc"
