// edit and show end to end: the whole program runs in a child process on a
// sandbox copy of the library with the real settings-file and encoder
// modules, and a DialogDriver closes its dialog as a user would.
#include "processrun.h"
#include "rows.h"
#include "testsandbox.h"

#include <QtTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray dvdFile = "; my DVD settings\n[MPEG Audio]\naudio_type = 4\nsample_frequency = 48000\nlayer = 2\n"
                           "mode = stereo\nbitrate = 192 ; chosen by ear\n\n[Other]\nkey = value\n";

// The program runs in the sandbox, where the settings file of an edit is.
// Its output holds none of the library's or Qt's notes unless it is verbose.
const struct
{
    const char* name;
    QStringList arguments;
    QByteArray existing; // the settings file before the run; empty: none
    const char* script;
    int exitCode;
    const char* saved; // lines of the saved file, separated by '|'; empty: the file stays as it was
    const char* output; // a pattern of "out:<standard output>err:<standard error>"
} rows[] = {
    // DVD defaults: Layer II, stereo, 224 kbps (docs/encoder-rules.md).
    { "new file: the audio type's defaults", { "edit", "edited.ini", "--audio-type", "4" }, {}, "ok", 0,
        "audio_type = 4|sample_frequency = 48000|layer = 2|mode = stereo|bitrate = 224|error_protection = 0",
        "out:err:" },
    { "existing file: a change in the dialog, the rest kept", { "edit", "edited.ini" }, dvdFile,
        "choose:modeList:Mono;ok", 0,
        "; my DVD settings|audio_type = 4|mode = mono|bitrate = 192 ; chosen by ear|[Other]\nkey = value", "out:err:" },
    { "from an MPEG file, verbose",
        { "edit", "edited.ini", "--from", VL_FIXTURES "/es_l2_44k_joint_128_crc.mpa", "--verbose" }, {}, "ok", 0,
        "audio_type = 0|sample_frequency = 44100|layer = 2|mode = joint_stereo|bitrate = 128|error_protection = 1",
        "out:err:.*uses vl_enc_mpa.dll\n.*mpa-settings: saved .*edited.ini\n" },
    { "cancel", { "edit", "kept.ini" }, dvdFile, "choose:modeList:Mono;cancel", 1, "", "out:err:" },
    // No dialog is shown, and nothing written.
    { "unreadable settings file", { "edit", "bad.ini" }, "[MPEG Audio]\nbitrate = fast\n", "ok", 2, "",
        "out:err:.*bad.ini: .*" },
    { "directory missing", { "edit", "missing/new.ini" }, {}, "ok", 2, "", "out:err:.*cannot save missing/new.ini.*" },
    { "unreadable --from", { "edit", "new.ini", "--from", "none.mpg" }, {}, "ok", 2, "",
        "out:err:.*none.mpg: No such file.*" },
    { "show, accepted", { "show", "--bitrate-index", "12" }, {}, "choose:layerList:Layer 1;ok", 0, "",
        "out:result=1000\nmode=1\nlayer=1\n.*\nbitrateIndex=12\n.*err:" },
};

} // namespace

class TestEditCommand : public QObject
{
    Q_OBJECT

    TestSandbox sandbox { {} };

private slots:
    void initTestCase()
    {
        for (const char* module : { "vl_config_mpa.so", "vl_enc_mpa.so" })
            sandbox.addFile(QStringLiteral(VL_MODULE_DIR "/") + QLatin1String(module));
        QVERIFY2(sandbox.errorString().isEmpty(), qPrintable(sandbox.errorString()));
    }

    void run_data() { addRows(rows); }

    void run()
    {
        const auto& row = currentRow(rows);
        const QString file = row.arguments.at(0) == "edit" ? sandbox.filePath(row.arguments.at(1)) : QString();
        QFile existing(file);
        QVERIFY(!existing.exists() || existing.remove());
        QVERIFY(row.existing.isEmpty() || (existing.open(QIODevice::WriteOnly) && existing.write(row.existing) > 0));
        existing.close();
        const QString log = sandbox.filePath(QStringLiteral("driver.log"));
        QFile::remove(log);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VL_DRIVER_SCRIPT"), row.script);
        environment.insert(QStringLiteral("VL_DRIVER_LOG"), log);
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR")); // Qt would note it on stderr
        environment.remove(QStringLiteral("QT_LOGGING_RULES"));
        const ProcessRun run = runProcess(QStringLiteral(VL_DRIVEN_HOST),
            QStringList { "--library", sandbox.libraryPath() } + row.arguments, environment, sandbox.path());

        QCOMPARE(run.exitCode, row.exitCode);
        QCOMPARE(QString::fromUtf8(readAll(log)).split('\n', Qt::SkipEmptyParts),
            row.exitCode == 2 ? QStringList() : QString(row.script).split(';'));
        const QString output = "out:" + run.standardOutput + "err:" + run.standardError;
        QVERIFY2(QRegularExpression(
                     QRegularExpression::anchoredPattern(row.output), QRegularExpression::DotMatchesEverythingOption)
                     .match(output)
                     .hasMatch(),
            qPrintable(output));
        for (const QString& line : QString(row.saved).split('|', Qt::SkipEmptyParts))
            QVERIFY2(readAll(file).contains(line.toUtf8() + '\n'), qPrintable(line));
        if (!*row.saved) {
            QCOMPARE(readAll(file), row.existing);
            QCOMPARE(QFile::exists(file), !row.existing.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestEditCommand)
#include "tst_editcommand.moc"
