// The commands as a user runs them: probe, check and encode by the built program
// on files written here; edit and show on a sandbox copy of the library with the
// real settings-file and encoder modules, a DialogDriver closing the dialog.
#include "processrun.h"
#include "rows.h"
#include "testsandbox.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <random>
#include <sndfile.h>

namespace {

// One second of noise, different in each channel (so joint stereo is used).
bool writeNoise(const QString& path, int rate, int channels)
{
    SF_INFO info { 0, rate, channels, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0 };
    SNDFILE* const file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    std::mt19937 random(rate + channels);
    std::uniform_int_distribution<int> noise(-8000, 8000);
    std::vector<short> samples(static_cast<std::size_t>(rate * channels));
    std::generate(samples.begin(), samples.end(), [&] { return static_cast<short>(noise(random)); });
    return file && sf_writef_short(file, samples.data(), rate) == rate && sf_close(file) == 0;
}

// Whether "out:<standard output>err:<standard error>" matches `pattern` whole.
bool outputMatches(const ProcessRun& run, const QString& pattern)
{
    return QRegularExpression(
        QRegularExpression::anchoredPattern(pattern), QRegularExpression::DotMatchesEverythingOption)
        .match("out:" + run.standardOutput + "err:" + run.standardError)
        .hasMatch();
}

bool writeSettings(const QString& path, const QString& lines)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("[MPEG Audio]\n" + lines.toUtf8() + '\n') > 0;
}

// name, sampling frequency, channels, settings, the fields probe gives back
const std::tuple<const char*, int, int, const char*, const char*> encodeRows[] = {
    // Keys the file leaves out keep the encoder's defaults (original bit set).
    { "MPEG-1 48 kHz joint stereo, defaults for the rest", 48000, 2, "mode = joint_stereo\nbitrate = 128",
        "1 joint_stereo 128 48000 none 0 0 0 1" },
    { "MPEG-1 44.1 kHz stereo, every bit", 44100, 2,
        "mode = stereo\nbitrate = 256\nemphasis = 50/15\nprivate = 1\nerror_protection = 1\ncopyright = 1\n"
        "original = 0\npsychoacoustic_model = 2",
        "1 stereo 256 44100 50/15 1 1 1 0" },
    // The file names 48 kHz: its 128 kbps must stay 128 kbps at 16 kHz.
    { "MPEG-2 16 kHz mono from a 48 kHz file", 16000, 1,
        "audio_type = 2\nsample_frequency = 48000\nmode = mono\nbitrate = 128\nemphasis = ccitt_j17\nprivate = 1",
        "2 mono 128 16000 ccitt_j17 1 0 0 1" },
};

// Run beside dvd.ini (DVD at 44.1 kHz), layer1.ini and "<rate>.wav", writing
// nothing: arguments, exit code, a pattern of outputMatches.
const std::tuple<const char*, int, const char*> runRows[] = {
    { "check dvd.ini", 1, "out:error: Sampling frequency 44100 Hz is not allowed for DVD-Video; use 48000 Hz.\nerr:" },
    { "check dvd.ini --sample-rate 48000", 0, "out:info: MPEG-1 Layer II, 48 kHz, 224 kbps, stereo.\nerr:" },
    // Translated: the same finding, not in English.
    { "check dvd.ini --lang de", 1, "out:error: (?!Sampling)[^\n]*44100[^\n]*\nerr:" },
    { "check dvd.ini --lang ja", 1, "out:error: (?!Sampling)[^\n]*44100[^\n]*\nerr:" },
    { "check dvd.ini --sample-rate x", 2, "out:err:.*Run \"mpa-settings check --help\".*" },
    { "encode --help", 0, "out:.*--settings FILE.*err:" },
    { "--version", 0, "out:mpa-settings [^\n]*libtwolame[^\n]*\nerr:" },
    { "check missing.ini", 2, "out:err:.*missing.ini: No such file or directory\n" },
    { "encode --settings dvd.ini 44100.wav out.mp2", 1,
        "out:err:error: Sampling frequency 44100 Hz is not allowed for DVD-Video.*" },
    { "encode --settings layer1.ini 48000.wav out.mp2", 2, "out:err:.*Layer I.*" },
    { "encode --settings dvd.ini 11025.wav out.mp2", 2, "out:err:.*11025 Hz.*" },
    { "encode --settings dvd.ini none.wav out.mp2", 2, "out:err:.*none.wav: No such file.*" },
    { "encode --settings dvd.ini dvd.ini out.mp2", 2, "out:err:.*dvd.ini: .*" },
    { "encode --settings dvd.ini 48000.wav none/out.mp2", 2, "out:err:.*none/out.mp2: .*" },
    { "encode --settings dvd.ini 48000.wav .", 2, "out:err:.*not a regular file.*" },
    { "probe " VL_FIXTURES "/es_layer3.mp2 missing.mp2 " VL_FIXTURES "/es_l2_48k_stereo_192.mp2", 1,
        "out:[^\n]*/es_l2_48k_stereo_192.mp2: container=elementary mpeg_version=1 layer=2 mode=stereo bitrate=192 "
        "bitrate_index=10 sample_frequency=48000 emphasis=none private=0 copyright=0 original=0 error_protection=0 "
        "channels=2 audio_offset=0\nerr:mpa-settings: [^\n]*/es_layer3.mp2: the stream is Layer III\n"
        "mpa-settings: missing.mp2: No such file or directory\n" },
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray dvdFile = "; my DVD settings\n[MPEG Audio]\naudio_type = 4\nsample_frequency = 48000\nlayer = 2\n"
                           "mode = stereo\nbitrate = 192 ; chosen by ear\n\n[Other]\nkey = value\n";

// Run in the sandbox; the output holds no notes of the library or Qt unless verbose.
const struct
{
    const char* name;
    QStringList arguments;
    QByteArray existing; // the settings file before; empty: none
    const char *script, *saved, *output; // saved: lines joined by '|' (none: the file is as it was)
    int exitCode;
} editRows[] = {
    // DVD defaults: Layer II, stereo, 224 kbps (docs/encoder-rules.md).
    { "new file: the audio type's defaults", { "edit", "edited.ini", "--audio-type", "4" }, {}, "ok",
        "audio_type = 4|sample_frequency = 48000|layer = 2|mode = stereo|bitrate = 224|error_protection = 0",
        "out:err:", 0 },
    { "existing file: a change in the dialog, the rest kept", { "edit", "edited.ini" }, dvdFile,
        "choose:modeList:Mono;ok",
        "; my DVD settings|audio_type = 4|mode = mono|bitrate = 192 ; chosen by ear|[Other]\nkey = value",
        "out:err:", 0 },
    { "from an MPEG file, verbose",
        { "edit", "edited.ini", "--from", VL_FIXTURES "/es_l2_44k_joint_128_crc.mpa", "--verbose" }, {}, "ok",
        "audio_type = 0|sample_frequency = 44100|layer = 2|mode = joint_stereo|bitrate = 128|error_protection = 1",
        "out:err:.*uses vl_enc_mpa.dll\n.*mpa-settings: saved .*edited.ini\n", 0 },
    { "cancel", { "edit", "kept.ini" }, dvdFile, "choose:modeList:Mono;cancel", "", "out:err:", 1 },
    // No dialog is shown, and nothing written.
    { "unreadable settings file", { "edit", "bad.ini" }, "[MPEG Audio]\nbitrate = fast\n", "ok", "",
        "out:err:.*bad.ini: .*", 2 },
    { "directory missing", { "edit", "missing/new.ini" }, {}, "ok", "", "out:err:.*cannot save missing/new.ini.*", 2 },
    { "unreadable --from", { "edit", "new.ini", "--from", "none.mpg" }, {}, "ok", "",
        "out:err:.*none.mpg: No such file.*", 2 },
    { "show, accepted", { "show", "--bitrate-index", "12" }, {}, "choose:layerList:Layer 1;ok", "",
        "out:result=1000\nmode=1\nlayer=1\n.*\nbitrateIndex=12\n.*err:", 0 },
};

} // namespace

class TestHostCommands : public QObject
{
    Q_OBJECT

    QTemporaryDir directory;
    TestSandbox sandbox { {} };

    ProcessRun host(const QString& arguments)
    {
        return runProcess(QStringLiteral(VL_HOST_PROGRAM), arguments.split(' '),
            QProcessEnvironment::systemEnvironment(), directory.path());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(directory.isValid());
        QVERIFY(writeSettings(
            directory.filePath("dvd.ini"), "audio_type = 4\nsample_frequency = 44100\nmode = stereo\nbitrate = 224"));
        QVERIFY(writeSettings(directory.filePath("layer1.ini"), "layer = 1\nbitrate = 384"));
        for (const int rate : { 44100, 48000, 11025 })
            QVERIFY(writeNoise(directory.filePath(QStringLiteral("%1.wav").arg(rate)), rate, 2));
        for (const char* module : { "vl_config_mpa.so", "vl_enc_mpa.so" })
            sandbox.addFile(QStringLiteral(VL_MODULE_DIR "/") + QLatin1String(module));
        QVERIFY2(sandbox.errorString().isEmpty(), qPrintable(sandbox.errorString()));
    }

    void encodeThenProbe_data() { addRows(encodeRows); }

    // probe gives back every field of the settings; ffmpeg decodes the output without a word.
    void encodeThenProbe()
    {
        const auto& [name, rate, channels, settings, expected] = currentRow(encodeRows);
        QVERIFY(writeNoise(directory.filePath("in.wav"), rate, channels));
        QVERIFY(writeSettings(directory.filePath("in.ini"), settings));
        const ProcessRun encoded = host("encode --settings in.ini in.wav out.mp2");
        QCOMPARE(encoded.exitCode, 0);
        QCOMPARE(encoded.standardOutput + encoded.standardError, QString());

        const ProcessRun probed = host("probe --json out.mp2");
        QCOMPARE(probed.exitCode, 0);
        const QJsonObject stream = QJsonDocument::fromJson(probed.standardOutput.toUtf8()).object();
        QStringList fields;
        for (const char* key : { "mpeg_version", "mode", "bitrate", "sample_frequency", "emphasis", "private",
                 "error_protection", "copyright", "original" })
            fields << stream.value(QLatin1String(key)).toVariant().toString();
        QCOMPARE(fields.join(' '), expected);
        QCOMPARE(stream.value("layer").toInt(), 2);
        QCOMPARE(stream.value("file").toString(), "out.mp2");

        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        if (ffmpeg.isEmpty())
            QSKIP("ffmpeg is not installed: the encoder's output is not decoded (apt-get install ffmpeg)");
        const ProcessRun decoded
            = runProcess(ffmpeg, { "-v", "error", "-i", directory.filePath("out.mp2"), "-f", "null", "-" });
        QCOMPARE(decoded.exitCode, 0);
        QCOMPARE(decoded.standardError, QString());
    }

    void run_data() { addRows(runRows); }

    void run()
    {
        const auto& [arguments, exitCode, pattern] = currentRow(runRows);
        const auto entries = [this] { return QDir(directory.path()).entryList(QDir::AllEntries | QDir::Hidden); };
        const QStringList before = entries();
        const ProcessRun run = host(QLatin1String(arguments));
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(outputMatches(run, QLatin1String(pattern)), qPrintable(run.standardOutput + run.standardError));
        QCOMPARE(entries(), before);
    }

    void edit_data() { addRows(editRows); }

    void edit()
    {
        const auto& row = currentRow(editRows);
        const QString file = row.arguments.at(0) == "edit" ? sandbox.filePath(row.arguments.at(1)) : QString();
        QFile existing(file);
        QVERIFY(!existing.exists() || existing.remove());
        QVERIFY(row.existing.isEmpty() || (existing.open(QIODevice::WriteOnly) && existing.write(row.existing) > 0));
        existing.close();
        const QString log = sandbox.filePath("driver.log");
        QFile::remove(log);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VL_DRIVER_SCRIPT", row.script);
        environment.insert("VL_DRIVER_LOG", log);
        for (const char* noted : { "XDG_RUNTIME_DIR", "QT_LOGGING_RULES" }) // Qt would note them on stderr
            environment.remove(noted);
        const ProcessRun run = runProcess(QStringLiteral(VL_DRIVEN_HOST),
            QStringList { "--library", sandbox.libraryPath() } + row.arguments, environment, sandbox.path());

        QCOMPARE(run.exitCode, row.exitCode);
        QCOMPARE(QString::fromUtf8(readAll(log)).split('\n', Qt::SkipEmptyParts),
            row.exitCode == 2 ? QStringList() : QString(row.script).split(';'));
        QVERIFY2(outputMatches(run, row.output), qPrintable(run.standardOutput + run.standardError));
        for (const QString& line : QString(row.saved).split('|', Qt::SkipEmptyParts))
            QVERIFY2(readAll(file).contains(line.toUtf8() + '\n'), qPrintable(line));
        if (!*row.saved) {
            QCOMPARE(readAll(file), row.existing);
            QCOMPARE(QFile::exists(file), !row.existing.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestHostCommands)
#include "tst_hostcommands.moc"
