// The library must export exactly one function, showMPAEncoderPages.

#include <QProcess>
#include <QtTest>

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheEntryPointIsExported()
    {
        QProcess nm;
        nm.start(QStringLiteral("nm"),
            { QStringLiteral("-D"), QStringLiteral("--defined-only"), QStringLiteral(VL_GUI_LIBRARY) });
        QVERIFY2(nm.waitForFinished(30000), "nm did not finish");
        QCOMPARE(nm.exitCode(), 0);

        // "<address> <type> <name>": code symbols are T, W, i (and weak V
        // for objects); the linker's own section markers are not symbols of
        // the library.
        QStringList exported;
        const QStringList lines = QString::fromLocal8Bit(nm.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
            QVERIFY2(fields.size() == 3, qPrintable(line));
            if (!QStringList { "_init", "_fini", "_edata", "_end", "__bss_start" }.contains(fields.at(2)))
                exported << fields.at(1) + ' ' + fields.at(2);
        }
        QCOMPARE(exported, QStringList { QStringLiteral("T showMPAEncoderPages") });
    }
};

QTEST_APPLESS_MAIN(TestExports)
#include "tst_exports.moc"
