// probe, check and encode as a user runs them: the built mpa-settings with
// the built modules beside it, on files written here.
#include "processrun.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
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
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* const file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::mt19937 random(rate + channels);
    std::normal_distribution<float> noise(0.0f, 4000.0f);
    std::vector<short> samples(static_cast<std::size_t>(rate * channels));
    for (short& sample : samples)
        sample = static_cast<short>(std::clamp(noise(random), -32000.0f, 32000.0f));
    const bool written = sf_writef_short(file, samples.data(), rate) == rate;
    return sf_close(file) == 0 && written;
}

bool writeText(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
}

} // namespace

class TestHostCommands : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir directory;

    QString path(const QString& name) const { return directory.filePath(name); }

    // Writes the settings in the file syntax of docs/settings-file-format.md.
    QString settingsFile(const QString& name, const QStringList& lines)
    {
        const QString file = path(name);
        writeText(file, QStringLiteral("[MPEG Audio]\n") + lines.join('\n') + '\n');
        return file;
    }

    void encodeRows()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("expected"); // the fields probe gives back

        QTest::newRow("MPEG-1 48 kHz joint stereo")
            << 48000 << 2
            << QStringList { "mode = joint_stereo", "bitrate = 128", "emphasis = none", "private = 0",
                   "error_protection = 0", "copyright = 0", "original = 1", "psychoacoustic_model = 1" }
            << "1 joint_stereo 128 48000 none 0 0 0 1";
        QTest::newRow("MPEG-1 44.1 kHz stereo, every bit")
            << 44100 << 2
            << QStringList { "mode = stereo", "bitrate = 256", "emphasis = 50/15", "private = 1",
                   "error_protection = 1", "copyright = 1", "original = 0", "psychoacoustic_model = 2" }
            << "1 stereo 256 44100 50/15 1 1 1 0";
        QTest::newRow("MPEG-2 24 kHz dual channel")
            << 24000 << 2
            << QStringList { "audio_type = 2", "mode = dual_channel", "bitrate = 160", "private = 1",
                   "error_protection = 0", "copyright = 1", "original = 1", "psychoacoustic_model = 2" }
            << "2 dual_channel 160 24000 none 1 0 1 1";
        // Keys the file leaves out keep the encoder's defaults (original bit
        // set, docs/encoder-rules.md).
        QTest::newRow("MPEG-2 22.05 kHz joint stereo, defaults for the rest")
            << 22050 << 2
            << QStringList { "audio_type = 2", "mode = joint_stereo", "bitrate = 64", "emphasis = 50/15",
                   "copyright = 1" }
            << "2 joint_stereo 64 22050 50/15 0 0 1 1";
        // The file names 48 kHz: its 256 kbps must stay 256 kbps at 16 kHz.
        QTest::newRow("MPEG-2 16 kHz mono from a 48 kHz file")
            << 16000 << 1
            << QStringList { "audio_type = 2", "sample_frequency = 48000", "mode = mono", "bitrate = 128",
                   "emphasis = ccitt_j17", "private = 1", "error_protection = 1", "copyright = 1" }
            << "2 mono 128 16000 ccitt_j17 1 1 1 1";
    }

    // Encodes one row; the output's path, or empty.
    QString encodeRow()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(QStringList, settings);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
        const QString input = path(tag + ".wav");
        const QString output = path(tag + ".mp2");
        if (!writeNoise(input, rate, channels))
            return QString();
        const ProcessRun encoded
            = host({ "encode", "--settings", settingsFile(tag + ".ini", settings), input, output });
        if (encoded.exitCode != 0 || !encoded.standardOutput.isEmpty() || !encoded.standardError.isEmpty())
            qWarning("encode: %d %s", encoded.exitCode, qPrintable(encoded.standardError));
        return encoded.exitCode == 0 ? output : QString();
    }

private slots:
    void initTestCase() { QVERIFY(directory.isValid()); }

    void encodeThenProbeGivesBackTheSettings_data() { encodeRows(); }

    void encodeThenProbeGivesBackTheSettings()
    {
        QFETCH(QString, expected);
        const QString output = encodeRow();
        QVERIFY(!output.isEmpty());

        const ProcessRun probed = host({ "probe", "--json", output });
        QCOMPARE(probed.exitCode, 0);
        const QJsonObject stream = QJsonDocument::fromJson(probed.standardOutput.toUtf8()).object();
        QStringList fields;
        for (const char* key : { "mpeg_version", "mode", "bitrate", "sample_frequency", "emphasis", "private",
                 "error_protection", "copyright", "original" })
            fields << stream.value(QLatin1String(key)).toVariant().toString();
        QCOMPARE(fields.join(' '), expected);
        QCOMPARE(stream.value("layer").toInt(), 2);
        QCOMPARE(stream.value("file").toString(), output);
    }

    void ffmpegDecodesTheOutput_data() { encodeRows(); }

    void ffmpegDecodesTheOutput()
    {
        const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
        if (ffmpeg.isEmpty())
            QSKIP("ffmpeg is not installed: the encoder's output is not decoded (apt-get install ffmpeg)");
        const QString output = encodeRow();
        QVERIFY(!output.isEmpty());
        const ProcessRun decoded = runProcess(ffmpeg, { "-v", "error", "-i", output, "-f", "null", "-" });
        QCOMPARE(decoded.exitCode, 0);
        QCOMPARE(decoded.standardError, QString());
    }

    void encodeRefusesAndWritesNothing_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("input"); // a noise file "<rate>.wav", or a path in the directory
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QStringList dvd { "audio_type = 4", "mode = stereo", "bitrate = 224" };
        QTest::newRow("failing check") << dvd << "44100.wav"
                                       << "out.mp2" << 1
                                       << "error: Sampling frequency 44100 Hz is not allowed for DVD-Video";
        QTest::newRow("Layer I") << QStringList { "layer = 1", "bitrate = 384" } << "48000.wav"
                                 << "out.mp2" << 2 << "Layer I";
        QTest::newRow("no MPEG sampling frequency") << dvd << "11025.wav"
                                                    << "out.mp2" << 2 << "11025 Hz";
        QTest::newRow("missing input") << dvd << "none.wav"
                                       << "out.mp2" << 2 << "none.wav: No such file";
        QTest::newRow("input not audio") << dvd << "settings.ini"
                                         << "out.mp2" << 2 << "settings.ini: ";
        QTest::newRow("output directory missing") << dvd << "48000.wav"
                                                  << "none/out.mp2" << 2 << "none/out.mp2: ";
        QTest::newRow("output is a directory") << dvd << "48000.wav"
                                               << "." << 2 << "not a regular file";
    }

    void encodeRefusesAndWritesNothing()
    {
        QFETCH(QStringList, settings);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir scratch;
        const QString settingsPath = scratch.filePath("settings.ini");
        writeText(settingsPath, "[MPEG Audio]\n" + settings.join('\n') + '\n');
        if (input.front().isDigit())
            QVERIFY(writeNoise(scratch.filePath(input), input.section('.', 0, 0).toInt(), 2));
        const QStringList before = QDir(scratch.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

        const ProcessRun encoded
            = host({ "encode", "--settings", settingsPath, scratch.filePath(input), scratch.filePath(output) });
        QCOMPARE(encoded.exitCode, exitCode);
        QVERIFY2(encoded.standardError.contains(message), qPrintable(encoded.standardError));
        QVERIFY(encoded.standardOutput.isEmpty());
        QCOMPARE(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
    }

    void checkVerdicts_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // a pattern for the whole output
        QTest::newRow("fails") << QStringList() << 1
                               << "error: Sampling frequency 44100 Hz is not allowed for DVD-Video; use 48000 Hz.\n";
        QTest::newRow("passes at another frequency")
            << QStringList { "--sample-rate", "48000" } << 0 << "info: MPEG-1 Layer II, 48 kHz, 224 kbps, stereo.\n";
        QTest::newRow("another audio type")
            << QStringList { "--audio-type", "0" } << 0 << "info: MPEG-1 Layer II, 44.1 kHz, 224 kbps, stereo.\n";
        // Translated: the same finding, not in English.
        QTest::newRow("German") << QStringList { "--lang", "de" } << 1 << "error: (?!Sampling)[^\n]*44100[^\n]*\n";
        QTest::newRow("Japanese") << QStringList { "--lang", "ja" } << 1 << "error: (?!Sampling)[^\n]*44100[^\n]*\n";
        QTest::newRow("usage error") << QStringList { "--sample-rate", "x" } << 2 << "";
    }

    void checkVerdicts()
    {
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        const QString file = settingsFile(
            "check.ini", { "audio_type = 4", "sample_frequency = 44100", "mode = stereo", "bitrate = 224" });
        const ProcessRun checked = host(QStringList { "check", file } + options);
        QCOMPARE(checked.exitCode, exitCode);
        QVERIFY2(
            QRegularExpression(QRegularExpression::anchoredPattern(output)).match(checked.standardOutput).hasMatch(),
            qPrintable(checked.standardOutput));
    }

    void unreadableFiles()
    {
        const ProcessRun checked = host({ "check", path("missing.ini") });
        QCOMPARE(checked.exitCode, 2);
        QVERIFY2(checked.standardError.endsWith("missing.ini: No such file or directory\n"),
            qPrintable(checked.standardError));

        // probe reports each unreadable file and goes on.
        const QString mpeg = QStringLiteral(VL_FIXTURES "/es_l2_48k_stereo_192.mp2");
        const QString layer3 = QStringLiteral(VL_FIXTURES "/es_layer3.mp2");
        const ProcessRun probed = host({ "probe", layer3, path("missing.mp2"), mpeg });
        QCOMPARE(probed.exitCode, 1);
        QCOMPARE(probed.standardOutput,
            mpeg
                + ": container=elementary mpeg_version=1 layer=2 mode=stereo bitrate=192 bitrate_index=10 "
                  "sample_frequency=48000 emphasis=none private=0 copyright=0 original=0 error_protection=0 "
                  "channels=2 audio_offset=0\n");
        QCOMPARE(probed.standardError,
            "mpa-settings: " + layer3 + ": the stream is Layer III\nmpa-settings: " + path("missing.mp2")
                + ": No such file or directory\n");
    }
};

QTEST_GUILESS_MAIN(TestHostCommands)
#include "tst_hostcommands.moc"
