// edit and show end to end: the whole program runs in a child process on a
// sandbox copy of the library with the real settings-file and encoder
// modules, and a DialogDriver closes its dialog as a user would.
#include "processrun.h"
#include "testsandbox.h"

#include <QLibrary>
#include <QtTest>
#include <veltrano/mpa_modules.h>

namespace {

struct Run : ProcessRun
{
    QStringList observations; // the DialogDriver's log
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QString fields(const EncoderSettings& s)
{
    return QString::asprintf("layer=%d mode=%d bitrateIndex=%d errorProtection=%d audioType=%d sampleFrequency=%d",
        s.layer, s.mode, s.bitrateIndex, s.errorProtection, s.audioType, s.sampleFrequency);
}

const QByteArray dvdFile = "; my DVD settings\n[MPEG Audio]\naudio_type = 4\nsample_frequency = 48000\nlayer = 2\n"
                           "mode = stereo\nbitrate = 192 ; chosen by ear\n\n[Other]\nkey = value\n";

} // namespace

class TestEditCommand : public QObject
{
    Q_OBJECT

private:
    TestSandbox sandbox { {} };

    Run runHost(const QStringList& arguments, const QString& script)
    {
        const QString log = sandbox.filePath(QStringLiteral("driver.log"));
        QFile::remove(log);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VL_DRIVER_SCRIPT"), script);
        environment.insert(QStringLiteral("VL_DRIVER_LOG"), log);
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR")); // Qt would note it on stderr
        environment.remove(QStringLiteral("QT_LOGGING_RULES"));
        Run run;
        static_cast<ProcessRun&>(run) = runProcess(QStringLiteral(VL_DRIVEN_HOST),
            QStringList { "--library", sandbox.libraryPath() } + arguments, environment, sandbox.path());
        run.observations = QString::fromUtf8(readAll(log)).split('\n', Qt::SkipEmptyParts);
        return run;
    }

    // The file as the settings-file module loads it into an empty block.
    QString loaded(const QString& path)
    {
        QLibrary module(sandbox.filePath(QStringLiteral("vl_config_mpa.so")));
        const auto getApi = reinterpret_cast<MPAConfigGetAPIExtFunc>(module.resolve("MPAConfigGetAPIExt"));
        EncoderSettings block {};
        if (!getApi || getApi(VL_CONFIG_API_LOAD)(&block, QFile::encodeName(path).constData()) != 0)
            return QStringLiteral("not loadable");
        return fields(block);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(sandbox.errorString().isEmpty(), qPrintable(sandbox.errorString()));
        for (const char* module : { "vl_config_mpa.so", "vl_enc_mpa.so" })
            QVERIFY(QFile::copy(QStringLiteral(VL_MODULE_DIR "/") + module, sandbox.filePath(QLatin1String(module))));
    }

    void okSaves_data()
    {
        QTest::addColumn<QByteArray>("existing"); // empty: no file
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("keptLines");
        QTest::addColumn<QString>("messages"); // stderr holds neither the library's nor Qt's notes unless verbose
        // DVD defaults: Layer II, stereo, 224 kbps (docs/encoder-rules.md).
        QTest::newRow("new file: the audio type's defaults")
            << QByteArray() << QStringList { "--audio-type", "4" } << "ok"
            << "layer=2 mode=0 bitrateIndex=11 errorProtection=0 audioType=4 sampleFrequency=48000" << QStringList()
            << "";
        QTest::newRow("existing file: a change in the dialog, the rest kept")
            << dvdFile << QStringList() << "choose:modeList:Mono;ok"
            << "layer=2 mode=3 bitrateIndex=10 errorProtection=0 audioType=4 sampleFrequency=48000"
            << QStringList { "; my DVD settings", "bitrate = 192 ; chosen by ear", "[Other]", "key = value" } << "";
        QTest::newRow("from an MPEG file, verbose")
            << QByteArray() << QStringList { "--from", VL_FIXTURES "/es_l2_44k_joint_128_crc.mpa", "--verbose" } << "ok"
            << "layer=2 mode=1 bitrateIndex=8 errorProtection=1 audioType=0 sampleFrequency=44100" << QStringList()
            << "uses vl_enc_mpa.dll\n.*mpa-settings: saved .*edited.ini\n$";
    }

    void okSaves()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QStringList, arguments);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QFETCH(QStringList, keptLines);
        QFETCH(QString, messages);
        const QString file = sandbox.filePath(QStringLiteral("edited.ini"));
        QFile::remove(file);
        if (!existing.isEmpty())
            QVERIFY(writeAll(file, existing));

        const Run run = runHost(QStringList { "edit", file } + arguments, script);
        QCOMPARE(run.observations, script.split(';'));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.standardOutput, QString());
        if (messages.isEmpty())
            QCOMPARE(run.standardError, QString());
        else
            QVERIFY2(QRegularExpression(messages, QRegularExpression::DotMatchesEverythingOption)
                         .match(run.standardError)
                         .hasMatch(),
                qPrintable(run.standardError));
        QCOMPARE(loaded(file), expected);
        const QString text = QString::fromUtf8(readAll(file));
        for (const QString& line : keptLines)
            QVERIFY2(text.contains(line + '\n'), qPrintable(line));
    }

    void cancelChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QString>("script");
        QTest::newRow("cancel button") << dvdFile << "choose:modeList:Mono;cancel";
        QTest::newRow("escape key") << dvdFile << "choose:layerList:Layer 1;escape";
        QTest::newRow("new file stays unwritten") << QByteArray() << "cancel";
    }

    void cancelChangesNothing()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QString, script);
        const QString file = sandbox.filePath(QStringLiteral("kept.ini"));
        QFile::remove(file);
        if (!existing.isEmpty())
            QVERIFY(writeAll(file, existing));

        const Run run = runHost({ "edit", file }, script);
        QCOMPARE(run.observations, script.split(';'));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(QFile::exists(file), !existing.isEmpty());
        QCOMPARE(readAll(file), existing);
    }

    void refusedBeforeTheDialog_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unreadable settings file")
            << QByteArray("[MPEG Audio]\nbitrate = fast\n") << QStringList { "edit", "bad.ini" } << "bad.ini: ";
        QTest::newRow("directory missing")
            << QByteArray() << QStringList { "edit", "missing/new.ini" } << "cannot save missing/new.ini";
        QTest::newRow("unreadable --from")
            << QByteArray() << QStringList { "edit", "new.ini", "--from", "none.mpg" } << "none.mpg: No such file";
    }

    void refusedBeforeTheDialog()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const QString file = sandbox.filePath(arguments.at(1));
        QFile::remove(file);
        if (!existing.isEmpty())
            QVERIFY(writeAll(file, existing));

        const Run run = runHost(arguments, QStringLiteral("ok"));
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.standardError.contains(message), qPrintable(run.standardError));
        QVERIFY2(run.observations.isEmpty(), "no dialog may be shown");
        QCOMPARE(readAll(file), existing);
    }

    void showExitStatus_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("accepted") << "choose:layerList:Layer 1;ok" << 0 << "result=1000\nmode=1\nlayer=1\n";
        QTest::newRow("cancelled") << "choose:layerList:Layer 1;cancel" << 1 << "result=1001\nmode=1\nlayer=2\n";
    }

    void showExitStatus()
    {
        QFETCH(QString, script);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        const Run run = runHost({ "show", "--bitrate-index", "12" }, script);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.standardOutput.startsWith(output), qPrintable(run.standardOutput));
        QVERIFY(run.standardOutput.contains(QStringLiteral("\nbitrateIndex=12\n")));
    }
};

QTEST_GUILESS_MAIN(TestEditCommand)
#include "tst_editcommand.moc"
