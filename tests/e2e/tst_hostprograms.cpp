// The command-line host and the C example call the library as any host does;
// without a settings-file module the call ends before a dialog is shown, so
// the host prints the block it passed.

#include "testsandbox.h"

#include <QProcess>
#include <QtTest>

class TestHostPrograms : public QObject
{
    Q_OBJECT

private:
    TestSandbox sandbox { { TestModule::Encoder } };

private slots:
    void run_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // standard output, lines joined by spaces
        const QString host = QStringLiteral(VL_HOST_PROGRAM);
        const QString library = sandbox.libraryPath();
        QTest::newRow("defaults") << host << QStringList { "--library", library } << 0
                                  << "result=1 mode=1 layer=2 psychModel=1 bitrateIndex=11 emphasis=0 privateBit=0 "
                                     "errorProtection=0 copyrightBit=0 originalBit=0 audioType=0 sampleFrequency=48000";
        QTest::newRow("every field")
            << host
            << QStringList { "--library", library, "--layer", "1", "--mode", "mono", "--psych-model", "2",
                   "--bitrate-index", "5", "--emphasis", "3", "--private", "1", "--crc", "1", "--copyright", "1",
                   "--original", "1", "--audio-type", "4", "--sample-rate", "22050", "--title", "Host", "--flags",
                   "0x2011" }
            << 0
            << "result=1 mode=3 layer=1 psychModel=2 bitrateIndex=5 emphasis=3 privateBit=1 "
               "errorProtection=1 copyrightBit=1 originalBit=1 audioType=4 sampleFrequency=22050";
        QTest::newRow("numeric mode") << host << QStringList { "--library", library, "--mode", "2" } << 0
                                      << "result=1 mode=2 layer=2 psychModel=1 bitrateIndex=11 emphasis=0 privateBit=0 "
                                         "errorProtection=0 copyrightBit=0 originalBit=0 audioType=0 "
                                         "sampleFrequency=48000";
        for (const QStringList& wrong : QList<QStringList> { { "--colour" }, { "--layer", "3" }, { "--layer" },
                 { "--flags", "0x1z" }, { "--mode", "quad" }, { "--sample-rate", "-1" } })
            QTest::addRow("rejected %s", qPrintable(wrong.join(' '))) << host << wrong << 2 << QString();
        QTest::newRow("example host") << QStringLiteral(VL_EXAMPLE_HOST) << QStringList { library } << 1
                                      << "the dialog could not start (1)";
    }

    void run()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QVERIFY2(sandbox.errorString().isEmpty(), qPrintable(sandbox.errorString()));
        QProcess process;
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).join(' '), output);
        // A rejected option is answered with the usage.
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()).contains(QStringLiteral("usage:")), exitCode == 2);
    }

    void help()
    {
        QProcess process;
        process.start(QStringLiteral(VL_HOST_PROGRAM), { QStringLiteral("--help") });
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QString text = QString::fromUtf8(process.readAllStandardOutput());
        for (const char* option : { "--audio-type", "--sample-rate", "--flags", "--title", "--library" })
            QVERIFY2(text.contains(QLatin1String(option)), option);
    }
};

QTEST_GUILESS_MAIN(TestHostPrograms)
#include "tst_hostprograms.moc"
