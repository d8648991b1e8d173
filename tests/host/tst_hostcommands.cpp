// probe, check and encode as a user runs them: the built mpa-settings with
// the built modules beside it, on files written here.
#include "processrun.h"
#include "rows.h"

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
    std::normal_distribution<float> noise(0.0f, 4000.0f);
    std::vector<short> samples(static_cast<std::size_t>(rate * channels));
    for (short& sample : samples)
        sample = static_cast<short>(std::clamp(noise(random), -32000.0f, 32000.0f));
    return file && sf_writef_short(file, samples.data(), rate) == rate && sf_close(file) == 0;
}

// A settings file with these lines (docs/settings-file-format.md).
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

// Run in a directory holding dvd.ini (DVD at 44.1 kHz), layer1.ini and
// noise files "<rate>.wav"; none of them writes a file there: name, the
// arguments, the exit code, a pattern of "out:<standard output>err:<standard
// error>".
const std::tuple<const char*, const char*, int, const char*> runRows[] = {
    { "check fails", "check dvd.ini", 1,
        "out:error: Sampling frequency 44100 Hz is not allowed for DVD-Video; use 48000 Hz.\nerr:" },
    { "check passes at another frequency", "check dvd.ini --sample-rate 48000", 0,
        "out:info: MPEG-1 Layer II, 48 kHz, 224 kbps, stereo.\nerr:" },
    // Translated: the same finding, not in English.
    { "check in German", "check dvd.ini --lang de", 1, "out:error: (?!Sampling)[^\n]*44100[^\n]*\nerr:" },
    { "check in Japanese", "check dvd.ini --lang ja", 1, "out:error: (?!Sampling)[^\n]*44100[^\n]*\nerr:" },
    { "usage error", "check dvd.ini --sample-rate x", 2, "out:err:.*Run \"mpa-settings check --help\".*" },
    { "help", "encode --help", 0, "out:.*--settings FILE.*err:" },
    { "version", "--version", 0, "out:mpa-settings [^\n]*libtwolame[^\n]*\nerr:" },
    { "check missing file", "check missing.ini", 2, "out:err:.*missing.ini: No such file or directory\n" },
    { "encode failing check", "encode --settings dvd.ini 44100.wav out.mp2", 1,
        "out:err:error: Sampling frequency 44100 Hz is not allowed for DVD-Video.*" },
    { "encode Layer I", "encode --settings layer1.ini 48000.wav out.mp2", 2, "out:err:.*Layer I.*" },
    { "encode no MPEG frequency", "encode --settings dvd.ini 11025.wav out.mp2", 2, "out:err:.*11025 Hz.*" },
    { "encode missing input", "encode --settings dvd.ini none.wav out.mp2", 2, "out:err:.*none.wav: No such file.*" },
    { "encode input not audio", "encode --settings dvd.ini dvd.ini out.mp2", 2, "out:err:.*dvd.ini: .*" },
    { "encode output directory missing", "encode --settings dvd.ini 48000.wav none/out.mp2", 2,
        "out:err:.*none/out.mp2: .*" },
    { "encode output is a directory", "encode --settings dvd.ini 48000.wav .", 2, "out:err:.*not a regular file.*" },
    { "probe goes on past unreadable files",
        "probe " VL_FIXTURES "/es_layer3.mp2 missing.mp2 " VL_FIXTURES "/es_l2_48k_stereo_192.mp2", 1,
        "out:[^\n]*/es_l2_48k_stereo_192.mp2: container=elementary mpeg_version=1 layer=2 mode=stereo bitrate=192 "
        "bitrate_index=10 sample_frequency=48000 emphasis=none private=0 copyright=0 original=0 error_protection=0 "
        "channels=2 audio_offset=0\nerr:mpa-settings: [^\n]*/es_layer3.mp2: the stream is Layer III\n"
        "mpa-settings: missing.mp2: No such file or directory\n" },
};

} // namespace

class TestHostCommands : public QObject
{
    Q_OBJECT

    QTemporaryDir directory;

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
    }

    void encodeThenProbe_data() { addRows(encodeRows); }

    // probe gives back every field of the settings, and ffmpeg decodes the
    // output without a word.
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
        const auto& [name, arguments, exitCode, pattern] = currentRow(runRows);
        const auto entries = [this] { return QDir(directory.path()).entryList(QDir::AllEntries | QDir::Hidden); };
        const QStringList before = entries();
        const ProcessRun run = host(QLatin1String(arguments));
        const QString output = "out:" + run.standardOutput + "err:" + run.standardError;
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern)),
                     QRegularExpression::DotMatchesEverythingOption)
                     .match(output)
                     .hasMatch(),
            qPrintable(output));
        QCOMPARE(entries(), before);
    }
};

QTEST_GUILESS_MAIN(TestHostCommands)
#include "tst_hostcommands.moc"
