// The settings model without widgets: the bitrate tables against the probe's
// own, audio-type normalisation, and the way between the settings and the
// texts of the page: every valid combination round trips, and the odd values
// a host may pass are shown and applied as the rows below say.
#include "audiotyperules.h"
#include "model/statemodel.h"
#include "model/valuetables.h"
#include "settingsfields.h"

#include <QSet>
#include <QTest>
#include <cstring>
#include <probe/mpegaudioheader.h>

namespace {

// MPEG-1 Layer II, 48 kHz, 192 kbps, joint stereo, model 1, MPEG-2 DVD, with
// a recognisable pattern in every other byte.
EncoderSettings baseSettings(const QString& fields = QString())
{
    EncoderSettings settings;
    auto* const bytes = reinterpret_cast<unsigned char*>(&settings);
    for (size_t i = 0; i < sizeof settings; ++i)
        bytes[i] = static_cast<unsigned char>(i * 13 + 5);
    return withFields(settings,
        QStringLiteral("mode=1 layer=2 psychModel=1 bitrateIndex=10 emphasis=0 privateBit=0 errorProtection=0 "
                       "copyrightBit=0 originalBit=0 audioType=4 sampleFrequency=48000 ")
            + fields);
}

PresetMap untranslatedPresets()
{
    PresetMap presets;
    for (const AudioTypeSource& source : audioTypeSources())
        presets.insert(QString::fromLatin1(source.name), source.id);
    return presets;
}

// Stands in for the encoder module: records each call and, like the built-in
// fallback, clears the record half, then marks the bitrate index so the test
// sees that its result reached the settings.
QList<int> defaultsCalls;
int32_t recordingDefaults(EncoderSettings* settings, int32_t audioType)
{
    defaultsCalls.append(audioType);
    std::memset(settings, 0, VL_SETTINGS_RECORD_SIZE);
    settings->bitrateIndex = 7;
    return 1; // ignored by the caller
}

const QString micro = QStringLiteral("50/15 \u00B5s");

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void bitrateTablesAgreeWithTheProbe();
    void bitrateTextsThatAreNoEntry();
    void microSignSurvivesTranslation();
    void normalizationEndsOnAPreset();
    void presetName();
    void derive_data();
    void derive();
    void apply_data();
    void apply();
    void deriveThenApplyIsIdentity();
};

// The tables of the page and those the probe reads headers with were written
// apart; slot 14 alone tells the four tables apart.
void TestModel::bitrateTablesAgreeWithTheProbe()
{
    for (const int frequency : { 32000, 44100, 48000, 16000, 22050, 24000, 11025, -16000 }) {
        const int version = vl::probe::isLowSamplingFrequency(frequency) ? 2 : 1;
        QCOMPARE(version == 2, frequency == 16000 || frequency == 22050 || frequency == 24000);
        for (const int layer : { 1, 2 }) {
            const char* const* table = ValueTables::bitrateTable(frequency, layer == 1);
            for (int index = 1; index <= 14; ++index) {
                const QString text = QString::number(vl::probe::mpegAudioBitrateKbps(version, layer, index));
                QCOMPARE(ValueTables::bitrateText(table, index), text);
                QCOMPARE(ValueTables::bitrateIndexOf(table, text), index);
            }
            // Free format, forbidden and out-of-range slots have no text.
            for (const int empty : { 0, 15, -1, 16, int(INT32_MIN) })
                QCOMPARE(ValueTables::bitrateText(table, empty), QString());
        }
    }
}

void TestModel::bitrateTextsThatAreNoEntry()
{
    const char* const* layer2 = ValueTables::bitrateTable(48000, false);
    for (const char* text : { "448", "", "128 kbps", " 128", "8" })
        QCOMPARE(ValueTables::bitrateIndexOf(layer2, QLatin1String(text)), 0);
}

void TestModel::microSignSurvivesTranslation()
{
    // The Latin-1 micro sign must become U+00B5, not a replacement character.
    QCOMPARE(ValueTables::translateLatin1("MPEGAudioPage", ValueTables::emphasisSources[1]), micro);
}

// Any id, after at most two passes (the dialog resolves a chain such as
// 0x1014 -> 16 -> 14 before it opens), is an id a preset carries; ids nobody
// knows become MPEG-2.
void TestModel::normalizationEndsOnAPreset()
{
    QSet<int> presetIds;
    for (const AudioTypeSource& source : audioTypeSources()) {
        presetIds.insert(source.id);
        // The encoder module knows defaults and rules for every preset.
        QVERIFY2(vl::encoder::findAudioTypeRules(source.id), source.name);
    }
    QCOMPARE(presetIds.size(), int(audioTypeSources().size()));
    int others = 0;
    for (int id = -300; id <= 0x3100; ++id) {
        int result = normalizeAudioType(id);
        if (!presetIds.contains(result))
            result = normalizeAudioType(result);
        QVERIFY2(presetIds.contains(result), qPrintable(QString::number(id)));
        others += result != VL_AUDIO_MPEG2;
    }
    QVERIFY(others > 0);
    QCOMPARE(normalizeAudioType(0x1014), 16);
    QCOMPARE(normalizeAudioType(16), int(VL_AUDIO_MPEG2_DVD_VR));
    QCOMPARE(normalizeAudioType(-1), int(VL_AUDIO_MPEG2));
}

void TestModel::presetName()
{
    const PresetMap presets = untranslatedPresets();
    for (const AudioTypeSource& source : audioTypeSources())
        QCOMPARE(::presetName(presets, source.id), QString::fromLatin1(source.name));
    QCOMPARE(::presetName(presets, 16), QString());
    // Two names with one id (a translation may map two sources to one text):
    // the first in map order.
    QCOMPARE(::presetName(PresetMap { { "B", 4 }, { "A", 4 } }, 4), QStringLiteral("A"));
}

void TestModel::derive_data()
{
    QTest::addColumn<QString>("fields"); // changed from baseSettings()
    QTest::addColumn<QString>("texts"); // Layer|Mode|Bitrate|Psych Model|Emphasis
    const auto row
        = [](const char* fields, const QString& texts) { QTest::newRow(*fields ? fields : "base") << fields << texts; };
    row("", "Layer 2|Joint Stereo|192|Model 1|Off");
    row("bitrateIndex=0", "Layer 2|Joint Stereo||Model 1|Off");
    row("layer=0 bitrateIndex=14", "Layer 2|Joint Stereo|384|Model 1|Off");
    row("mode=4", "Layer 2|Stereo|192|Model 1|Off");
    row("psychModel=0", "Layer 2|Joint Stereo|192|Model 2|Off");
    row("emphasis=2", "Layer 2|Joint Stereo|192|Model 1|Off");
    row("privateBit=5 errorProtection=-1 copyrightBit=7 originalBit=0x10000", "Layer 2|Joint Stereo|192|Model 1|Off");
}

void TestModel::derive()
{
    QFETCH(QString, fields);
    QFETCH(QString, texts);
    const EncoderSettings settings = baseSettings(fields);
    const ConfigState state = derivePageState(settings);

    QCOMPARE(state.size(), 10);
    QStringList shown;
    for (const QString& name :
        { ItemName::Layer, ItemName::Mode, ItemName::Bitrate, ItemName::PsychModel, ItemName::Emphasis }) {
        QCOMPARE(state.value(name).value.userType(), int(QMetaType::QString));
        shown.append(state.value(name).value.toString());
    }
    QCOMPARE(shown.join(QLatin1Char('|')), texts);
    // The frequency and the flag words go out raw, as integers; all enabled.
    const QList<QPair<QString, int32_t>> raw = { { ItemName::AudioFrequency, settings.sampleFrequency },
        { ItemName::Private, settings.privateBit }, { ItemName::ErrorProtection, settings.errorProtection },
        { ItemName::Copyright, settings.copyrightBit }, { ItemName::Original, settings.originalBit } };
    for (const auto& [name, word] : raw)
        QCOMPARE(state.value(name).value, QVariant(word));
    for (const ConfigItem& item : state)
        QVERIFY(item.enabled);
}

void TestModel::apply_data()
{
    QTest::addColumn<QString>("setup"); // fields changed from the base before the application
    QTest::addColumn<QVariantMap>("state"); // the change state
    QTest::addColumn<QString>("changes"); // fields that differ from the setup afterwards
    QTest::addColumn<QList<int>>("defaults"); // audio types the defaults function was called with
    using Map = QVariantMap;
    const auto row = [](const char* name, const char* setup, const Map& state, const char* changes,
                         const QList<int>& defaults = {}) {
        QTest::newRow(name) << QString::fromLatin1(setup) << state << QString::fromLatin1(changes) << defaults;
    };

    // A restore is applied alone, and clears bytes 0-4095 through the
    // defaults function.
    row("restore", "privateBit=5", Map { { "Restore Preset", "MPEG-1 DVD" }, { "Layer", "Layer 1" } },
        "audioType=13 bitrateIndex=7", { 13 });
    row("restore unknown name", "", Map { { "Restore Preset", "" } }, "audioType=0 bitrateIndex=7", { 0 });
    row("audio type", "", Map { { "Audio Type", "MPEG-2 Blu-ray Disc" } }, "audioType=27");
    row("audio type wrong case", "", Map { { "Audio Type", "mpeg-2 dvd" } }, "audioType=0");
    row("layer wrong case", "layer=1", Map { { "Layer", "layer 1" } }, "layer=2");
    row("mode unknown", "mode=3", Map { { "Mode", "Surround" } }, "mode=0");
    row("mono rewrites copyright 7", "copyrightBit=7", Map { { "Mode", "Mono" } }, "mode=3 copyrightBit=1");
    row("frequency as text", "", Map { { "Audio Frequency", "44100" } }, "sampleFrequency=44100");
    row("frequency not a number", "", Map { { "Audio Frequency", "fast" } }, "sampleFrequency=0");
    row("bitrate 448 under Layer II", "", Map { { "Bitrate", "448" } }, "");
    row("bitrate after layer in same state", "", Map { { "Layer", "Layer 1" }, { "Bitrate", "416" } },
        "layer=1 bitrateIndex=13");
    row("bitrate after frequency in same state", "", Map { { "Audio Frequency", 16000 }, { "Bitrate", "144" } },
        "sampleFrequency=16000 bitrateIndex=13");
    row("layer keeps bitrate index", "bitrateIndex=14", Map { { "Layer", "Layer 1" } }, "layer=1");
    row("model unknown", "", Map { { "Psych Model", "Model 3" } }, "psychModel=2");
    row("emphasis with u for micro", "emphasis=1", Map { { "Emphasis", "50/15 us" } }, "emphasis=0");
    row("flag as int 2", "", Map { { "Original", 2 } }, "originalBit=1");
    row("unnamed item still normalises flags", "privateBit=5 errorProtection=-1 originalBit=256",
        Map { { "", "Layer 1" } }, "privateBit=1 errorProtection=1 originalBit=1");
    row("unknown item ignored", "", Map { { "Sample Rate", 22050 } }, "");
}

void TestModel::apply()
{
    QFETCH(QString, setup);
    QFETCH(QVariantMap, state);
    QFETCH(QString, changes);
    QFETCH(QList<int>, defaults);

    EncoderSettings expected = baseSettings(setup);
    if (!defaults.isEmpty())
        std::memset(&expected, 0, VL_SETTINGS_RECORD_SIZE);
    expected = withFields(expected, changes);

    ConfigState change;
    for (auto it = state.cbegin(); it != state.cend(); ++it)
        change.insert(it.key(), ConfigItem(it.value(), false)); // the enabled flag plays no part
    EncoderSettings settings = baseSettings(setup);
    defaultsCalls.clear();
    applyChangeState(settings, change, untranslatedPresets(), recordingDefaults);
    QCOMPARE(defaultsCalls, defaults);
    QCOMPARE(blockDifference(settings, expected), QString());

    // Without a defaults function a restore sets the audio type alone.
    if (!defaults.isEmpty()) {
        settings = baseSettings(setup);
        applyChangeState(settings, change, untranslatedPresets(), nullptr);
        const EncoderSettings typeOnly = baseSettings(setup + QStringLiteral(" audioType=%1").arg(expected.audioType));
        QCOMPARE(blockDifference(settings, typeOnly), QString());
    }
}

// Every valid combination survives a trip through the texts: what is derived
// for a code is exactly what the application maps back to it.
void TestModel::deriveThenApplyIsIdentity()
{
    const PresetMap presets = untranslatedPresets();
    EncoderSettings original = baseSettings();
    for (const int32_t frequency : { 48000, 44100, 32000, 24000, 22050, 16000 })
        for (int32_t layer = 1; layer <= 2; ++layer)
            for (int32_t mode = 0; mode <= 3; ++mode)
                for (int32_t index = 1; index <= 14; ++index)
                    for (const int32_t emphasis : { 0, 1, 3 })
                        for (int32_t bits = 0; bits < 32; bits += 5) {
                            original.sampleFrequency = frequency;
                            original.layer = layer;
                            original.mode = mode;
                            original.bitrateIndex = index;
                            original.emphasis = emphasis;
                            original.psychModel = 1 + (bits & 1);
                            original.privateBit = (bits >> 1) & 1;
                            original.errorProtection = (bits >> 2) & 1;
                            original.copyrightBit = (bits >> 3) & 1;
                            original.originalBit = (bits >> 4) & 1;
                            // Start from a value no field has, so every field must be written.
                            EncoderSettings settings = original;
                            for (const auto& [name, member] : settingsFields)
                                settings.*member = member == &EncoderSettings::audioType ? settings.*member : 99;
                            applyChangeState(settings, derivePageState(original), presets, recordingDefaults);
                            const QString difference = blockDifference(settings, original);
                            if (!difference.isEmpty())
                                QFAIL(qPrintable(difference));
                        }
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
