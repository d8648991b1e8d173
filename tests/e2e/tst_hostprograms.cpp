// The command-line host and the C example call the library as any host does;
// without a settings-file module the call ends before a dialog is shown. The
// host's command line itself is tested in tests/host.

#include "processrun.h"
#include "testsandbox.h"

#include <QtTest>

class TestHostPrograms : public QObject
{
    Q_OBJECT

private:
    TestSandbox sandbox { { TestModule::Encoder } };

private slots:
    void initTestCase() { QVERIFY2(sandbox.errorString().isEmpty(), qPrintable(sandbox.errorString())); }

    void settingsFromOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");
        const QStringList defaults { "result=1", "mode=1", "layer=2", "psychModel=1", "bitrateIndex=11", "emphasis=0",
            "privateBit=0", "errorProtection=0", "copyrightBit=0", "originalBit=0", "audioType=0",
            "sampleFrequency=48000" };
        QTest::newRow("defaults") << QStringList() << defaults;
        QTest::newRow("every field") << QStringList { "--layer", "1", "--mode", "mono", "--psych-model", "2",
            "--bitrate-index", "5", "--emphasis", "3", "--private", "1", "--crc", "1", "--copyright", "1", "--original",
            "1", "--audio-type", "4", "--sample-rate", "22050" }
                                     << QStringList { "result=1", "mode=3", "layer=1", "psychModel=2", "bitrateIndex=5",
                                            "emphasis=3", "privateBit=1", "errorProtection=1", "copyrightBit=1",
                                            "originalBit=1", "audioType=4", "sampleFrequency=22050" };
        QStringList numericMode = defaults;
        numericMode[1] = QStringLiteral("mode=2");
        QTest::newRow("numeric mode and a title")
            << QStringList { "--mode", "2", "--title", "Host", "--flags", "0x2011" } << numericMode;
    }

    void settingsFromOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);
        const ProcessRun output = runProcess(
            QStringLiteral(VL_HOST_PROGRAM), QStringList { "--library", sandbox.libraryPath() } + arguments);
        QCOMPARE(output.exitCode, 2);
        QCOMPARE(output.standardOutput.split('\n', Qt::SkipEmptyParts), expected);
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
