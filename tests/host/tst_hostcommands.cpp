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

ProcessRun host(const QStringList& arguments)
{
    return runProcess(QStringLiteral(VL_HOST_PROGRAM), arguments);
}

// One second of noise, different in each channel, so that a joint-stereo
// encoder really uses intensity stereo.
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

// A settings file with these lines in the syntax of
// docs/settings-file-format.md.
QString settingsFile(const QString& path, const QStringList& lines)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("[MPEG Audio]\n" + lines.join('\n').toUtf8() + '\n');
    return path;
}

const struct
{
    const char* name;
    int rate;
    int channels;
    QStringList settings;
    const char* expected; // the fields probe gives back
} encodeRows[] = {
    { "MPEG-1 48 kHz joint stereo", 48000, 2,
        { "mode = joint_stereo", "bitrate = 128", "emphasis = none", "private = 0", "error_protection = 0",
            "copyright = 0", "original = 1", "psychoacoustic_model = 1" },
        "1 joint_stereo 128 48000 none 0 0 0 1" },
    { "MPEG-1 44.1 kHz stereo, every bit", 44100, 2,
        { "mode = stereo", "bitrate = 256", "emphasis = 50/15", "private = 1", "error_protection = 1", "copyright = 1",
            "original = 0", "psychoacoustic_model = 2" },
        "1 stereo 256 44100 50/15 1 1 1 0" },
    { "MPEG-2 24 kHz dual channel", 24000, 2,
        { "audio_type = 2", "mode = dual_channel", "bitrate = 160", "private = 1", "error_protection = 0",
            "copyright = 1", "original = 1", "psychoacoustic_model = 2" },
        "2 dual_channel 160 24000 none 1 0 1 1" },
    // Keys the file leaves out keep the encoder's defaults (original bit
    // set, docs/encoder-rules.md).
    { "MPEG-2 22.05 kHz joint stereo, defaults for the rest", 22050, 2,
        { "audio_type = 2", "mode = joint_stereo", "bitrate = 64", "emphasis = 50/15", "copyright = 1" },
        "2 joint_stereo 64 22050 50/15 0 0 1 1" },
    // The file names 48 kHz: its 128 kbps must stay 128 kbps at 16 kHz.
    { "MPEG-2 16 kHz mono from a 48 kHz file", 16000, 1,
        { "audio_type = 2", "sample_frequency = 48000", "mode = mono", "bitrate = 128", "emphasis = ccitt_j17",
            "private = 1", "error_protection = 1", "copyright = 1" },
        "2 mono 128 16000 ccitt_j17 1 1 1 1" },
};

const QStringList dvd { "audio_type = 4", "mode = stereo", "bitrate = 224" };

// Each refused encode writes nothing, not even a partial output.
const struct
{
    const char* name;
    QStringList settings;
    const char* input; // a noise file "<rate>.wav", or a path in the directory
    const char* output;
    int exitCode;
    const char* message;
} refusedRows[] = {
    { "failing check", dvd, "44100.wav", "out.mp2", 1,
        "error: Sampling frequency 44100 Hz is not allowed for DVD-Video" },
    { "Layer I", { "layer = 1", "bitrate = 384" }, "48000.wav", "out.mp2", 2, "Layer I" },
    { "no MPEG sampling frequency", dvd, "11025.wav", "out.mp2", 2, "11025 Hz" },
    { "missing input", dvd, "none.wav", "out.mp2", 2, "none.wav: No such file" },
    { "input not audio", dvd, "settings.ini", "out.mp2", 2, "settings.ini: " },
    { "output directory missing", dvd, "48000.wav", "none/out.mp2", 2, "none/out.mp2: " },
    { "output is a directory", dvd, "48000.wav", ".", 2, "not a regular file" },
};

// The whole output of check on a DVD file at 44.1 kHz, as a pattern.
const struct
{
    const char* name;
    QStringList options;
    int exitCode;
    const char* output;
} checkRows[] = {
    { "fails", {}, 1, "error: Sampling frequency 44100 Hz is not allowed for DVD-Video; use 48000 Hz.\n" },
    { "passes at another frequency", { "--sample-rate", "48000" }, 0,
        "info: MPEG-1 Layer II, 48 kHz, 224 kbps, stereo.\n" },
    { "another audio type", { "--audio-type", "0" }, 0, "info: MPEG-1 Layer II, 44.1 kHz, 224 kbps, stereo.\n" },
    // Translated: the same finding, not in English.
    { "German", { "--lang", "de" }, 1, "error: (?!Sampling)[^\n]*44100[^\n]*\n" },
    { "Japanese", { "--lang", "ja" }, 1, "error: (?!Sampling)[^\n]*44100[^\n]*\n" },
    { "usage error", { "--sample-rate", "x" }, 2, "" },
};

} // namespace

class TestHostCommands : public QObject
{
    Q_OBJECT

    QTemporaryDir directory;

private slots:
    void initTestCase() { QVERIFY(directory.isValid()); }

    void encodeThenProbe_data() { addRows(encodeRows); }

    // probe gives back every field of the settings, and ffmpeg decodes the
    // output without a word.
    void encodeThenProbe()
    {
        const auto& row = currentRow(encodeRows);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
        const QString input = directory.filePath(tag + ".wav");
        const QString output = directory.filePath(tag + ".mp2");
        QVERIFY(writeNoise(input, row.rate, row.channels));
        const ProcessRun encoded = host(
            { "encode", "--settings", settingsFile(directory.filePath(tag + ".ini"), row.settings), input, output });
        QCOMPARE(encoded.exitCode, 0);
        QCOMPARE(encoded.standardOutput + encoded.standardError, QString());

        const ProcessRun probed = host({ "probe", "--json", output });
        QCOMPARE(probed.exitCode, 0);
        const QJsonObject stream = QJsonDocument::fromJson(probed.standardOutput.toUtf8()).object();
        QStringList fields;
        for (const char* key : { "mpeg_version", "mode", "bitrate", "sample_frequency", "emphasis", "private",
                 "error_protection", "copyright", "original" })
            fields << stream.value(QLatin1String(key)).toVariant().toString();
        QCOMPARE(fields.join(' '), row.expected);
        QCOMPARE(stream.value("layer").toInt(), 2);
        QCOMPARE(stream.value("file").toString(), output);

        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        if (ffmpeg.isEmpty())
            QSKIP("ffmpeg is not installed: the encoder's output is not decoded (apt-get install ffmpeg)");
        const ProcessRun decoded = runProcess(ffmpeg, { "-v", "error", "-i", output, "-f", "null", "-" });
        QCOMPARE(decoded.exitCode, 0);
        QCOMPARE(decoded.standardError, QString());
    }

    void encodeRefused_data() { addRows(refusedRows); }

    void encodeRefused()
    {
        const auto& row = currentRow(refusedRows);
        QTemporaryDir scratch;
        const QString input = scratch.filePath(row.input);
        const QString settings = settingsFile(scratch.filePath("settings.ini"), row.settings);
        QVERIFY(!std::isdigit(*row.input) || writeNoise(input, QFileInfo(input).baseName().toInt(), 2));
        const QStringList before = QDir(scratch.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        const ProcessRun encoded = host({ "encode", "--settings", settings, input, scratch.filePath(row.output) });
        QCOMPARE(encoded.exitCode, row.exitCode);
        QVERIFY2(encoded.standardError.contains(row.message), qPrintable(encoded.standardError));
        QCOMPARE(encoded.standardOutput, QString());
        QCOMPARE(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
    }

    void check_data() { addRows(checkRows); }

    void check()
    {
        const auto& row = currentRow(checkRows);
        const QString file = settingsFile(directory.filePath("check.ini"),
            { "audio_type = 4", "sample_frequency = 44100", "mode = stereo", "bitrate = 224" });
        const ProcessRun checked = host(QStringList { "check", file } + row.options);
        QCOMPARE(checked.exitCode, row.exitCode);
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(row.output))
                     .match(checked.standardOutput)
                     .hasMatch(),
            qPrintable(checked.standardOutput));
    }

    // check and probe name a file they cannot read; probe goes on to the
    // next one.
    void unreadableFiles()
    {
        const ProcessRun checked = host({ "check", directory.filePath("missing.ini") });
        QCOMPARE(checked.exitCode, 2);
        QVERIFY2(checked.standardError.endsWith("missing.ini: No such file or directory\n"),
            qPrintable(checked.standardError));
        const QString mpeg = QStringLiteral(VL_FIXTURES "/es_l2_48k_stereo_192.mp2");
        const QString layer3 = QStringLiteral(VL_FIXTURES "/es_layer3.mp2");
        const ProcessRun probed = host({ "probe", layer3, directory.filePath("missing.mp2"), mpeg });
        QCOMPARE(probed.exitCode, 1);
        QCOMPARE(probed.standardOutput,
            mpeg
                + ": container=elementary mpeg_version=1 layer=2 mode=stereo bitrate=192 bitrate_index=10 "
                  "sample_frequency=48000 emphasis=none private=0 copyright=0 original=0 error_protection=0 "
                  "channels=2 audio_offset=0\n");
        QCOMPARE(probed.standardError,
            "mpa-settings: " + layer3 + ": the stream is Layer III\nmpa-settings: " + directory.filePath("missing.mp2")
                + ": No such file or directory\n");
    }
};

QTEST_GUILESS_MAIN(TestHostCommands)
#include "tst_hostcommands.moc"
