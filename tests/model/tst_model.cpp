// The settings model without widgets: bitrate tables, audio-type
// normalisation, derivation of the page state from the settings and
// application of change states to them.
#include "model/statemodel.h"
#include "model/valuetables.h"
#include "probe/mpegaudioheader.h"

#include <QSet>
#include <QTest>
#include <cstring>

namespace {

const std::pair<const char*, int32_t EncoderSettings::*> fields[] = { { "mode", &EncoderSettings::mode },
    { "layer", &EncoderSettings::layer }, { "psychModel", &EncoderSettings::psychModel },
    { "bitrateIndex", &EncoderSettings::bitrateIndex }, { "emphasis", &EncoderSettings::emphasis },
    { "privateBit", &EncoderSettings::privateBit }, { "errorProtection", &EncoderSettings::errorProtection },
    { "copyrightBit", &EncoderSettings::copyrightBit }, { "originalBit", &EncoderSettings::originalBit },
    { "audioType", &EncoderSettings::audioType }, { "sampleFrequency", &EncoderSettings::sampleFrequency } };

// MPEG-1 Layer II, 48 kHz, 192 kbps, joint stereo, model 1, MPEG-2 DVD, with
// a recognisable pattern in the opaque bytes of both halves.
EncoderSettings baseSettings()
{
    EncoderSettings settings;
    std::memset(&settings, 0, sizeof settings);
    for (size_t i = 0; i < sizeof settings.opaque; ++i)
        settings.opaque[i] = uint8_t(i * 7 + 1);
    for (size_t i = 0; i < sizeof settings.context; ++i)
        settings.context[i] = uint8_t(i * 13 + 5);
    settings.mode = 1;
    settings.layer = 2;
    settings.psychModel = 1;
    settings.bitrateIndex = 10;
    settings.audioType = 4;
    settings.sampleFrequency = 48000;
    return settings;
}

// Sets fields written as "name=value name=value".
EncoderSettings withFields(EncoderSettings settings, const QString& values)
{
    for (const QString& pair : values.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QByteArray name = pair.section(QLatin1Char('='), 0, 0).toLatin1();
        auto found = std::find_if(
            std::begin(fields), std::end(fields), [&](const auto& entry) { return name == entry.first; });
        Q_ASSERT(found != std::end(fields));
        settings.*found->second = pair.section(QLatin1Char('='), 1).toInt(nullptr, 0);
    }
    return settings;
}

void compareSettings(const EncoderSettings& actual, const EncoderSettings& expected)
{
    for (const auto& [name, member] : fields) {
        if (actual.*member != expected.*member)
            QFAIL(
                qPrintable(QStringLiteral("%1: %2, expected %3").arg(name).arg(actual.*member).arg(expected.*member)));
    }
    QVERIFY(std::memcmp(&actual, &expected, sizeof actual) == 0);
}

PresetMap untranslatedPresets()
{
    PresetMap presets;
    for (const AudioTypeSource& source : audioTypeSources())
        presets.insert(QString::fromLatin1(source.name), source.id);
    return presets;
}

// Stands in for the encoder module: records each call and, like the
// built-in fallback, clears the record half, then marks the bitrate index so
// the test sees that its result reached the settings.
QList<int> defaultsCalls;
EncoderSettings* defaultsTarget = nullptr;
int32_t recordingDefaults(EncoderSettings* settings, int32_t audioType)
{
    defaultsCalls.append(audioType);
    defaultsTarget = settings;
    std::memset(settings, 0, VL_SETTINGS_RECORD_SIZE);
    settings->bitrateIndex = 7;
    return 1; // ignored by the caller
}

const QString micro = QStringLiteral("50/15 \u00B5s");

// Normalisation: input id -> replacement. Every other id becomes 2 (MPEG-2).
const QList<QPair<int, int>> normalizationTable = { { 16, 14 }, { 17, 15 }, { 20, 23 }, { 21, 23 }, { 23, 23 },
    { 26, 27 }, { 0x1000, 1 }, { 0x1001, 3 }, { 0x1010, 4 }, { 0x1011, 13 }, { 0x1012, 14 }, { 0x1013, 15 },
    { 0x1014, 16 }, { 0x1015, 17 }, { 0x1020, 8 }, { 0x1021, 9 }, { 0x1022, 10 }, { 0x1023, 11 }, { 0x1024, 12 },
    { 0x1025, 24 }, { 0x1030, 18 }, { 0x1031, 19 }, { 0x1040, 20 }, { 0x1041, 21 }, { 0x1042, 22 }, { 0x1043, 23 },
    { 0x2000, 25 }, { 0x2800, 44 }, { 0x3000, 26 }, { 0x3001, 27 } };

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void bitrateTables_data();
    void bitrateTables();
    void bitrateTextsMatchTheStandard_data();
    void bitrateTextsMatchTheStandard();
    void microSignSurvivesTranslation();
    void normalize_data();
    void normalize();
    void everyOtherIdBecomesMpeg2();
    void presetName_data();
    void presetName();
    void derive_data();
    void derive();
    void apply_data();
    void apply();
    void applyIgnoresEnabled();
    void restoreWithoutDefaultsFunction();
    void deriveThenApplyIsIdentity();
};

// Texts a table lacks have no slot, and slots without a rate have no text.
void TestModel::bitrateTables_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<bool>("layer1");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index"); // 0: not in the table
    QTest::newRow("MPEG-1 Layer II first slot") << 44100 << false << "32" << 1;
    QTest::newRow("448 not in Layer II") << 48000 << false << "448" << 0;
    QTest::newRow("384 not in LSF Layer II") << 16000 << false << "384" << 0;
    QTest::newRow("empty text") << 48000 << false << "" << 0;
    QTest::newRow("with unit") << 48000 << false << "128 kbps" << 0;
    QTest::newRow("leading space") << 48000 << false << " 128" << 0;
}

void TestModel::bitrateTables()
{
    QFETCH(int, frequency);
    QFETCH(bool, layer1);
    QFETCH(QString, text);
    QFETCH(int, index);
    const char* const* table = ValueTables::bitrateTable(frequency, layer1);
    QCOMPARE(ValueTables::bitrateIndexOf(table, text), index);
    if (index)
        QCOMPARE(ValueTables::bitrateText(table, index), text);
    // Free format, forbidden and out-of-range slots have no text.
    for (int empty : { 0, 15, -1, 16, 1000000, int(INT32_MIN) })
        QVERIFY2(ValueTables::bitrateText(table, empty).isEmpty(), qPrintable(QString::number(empty)));
}

// Every slot of the four text tables, and the table a frequency selects,
// against the numeric tables of the probe library.
void TestModel::bitrateTextsMatchTheStandard_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("layer");
    QTest::addColumn<int>("version"); // 2: ISO/IEC 13818-3 lower sampling frequencies
    for (int layer : { 1, 2 }) {
        const QByteArray name = " Layer " + QByteArray::number(layer);
        for (int frequency : { 32000, 44100, 48000 })
            QTest::newRow(QByteArray::number(frequency) + name) << frequency << layer << 1;
        for (int frequency : { 16000, 22050, 24000 })
            QTest::newRow(QByteArray::number(frequency) + name) << frequency << layer << 2;
        for (int frequency : { 0, 11025, 22000, -16000 })
            QTest::newRow("odd " + QByteArray::number(frequency) + name) << frequency << layer << 1;
    }
}

void TestModel::bitrateTextsMatchTheStandard()
{
    QFETCH(int, frequency);
    QFETCH(int, layer);
    QFETCH(int, version);
    const char* const* table = ValueTables::bitrateTable(frequency, layer == 1);
    for (int slot = 0; slot < 16; ++slot) {
        const int kbps = vl::probe::mpegAudioBitrateKbps(version, layer, slot);
        const QString text = kbps ? QString::number(kbps) : QString();
        QCOMPARE(ValueTables::bitrateText(table, slot), text);
        if (kbps)
            QCOMPARE(ValueTables::bitrateIndexOf(table, text), slot);
    }
}

void TestModel::microSignSurvivesTranslation()
{
    // The Latin-1 micro sign must become U+00B5, not a replacement character.
    QCOMPARE(ValueTables::translateLatin1("MPEGAudioPage", ValueTables::emphasisSources[1]), micro);
}

void TestModel::normalize_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("expected");
    for (const auto& entry : normalizationTable)
        QTest::addRow("0x%x", entry.first) << entry.first << entry.second;
    for (int id : { 5, 22, 28, 43, -1, 0x1002, 0x1044, 0x3002, 0x7fffffff })
        QTest::addRow("0x%x to MPEG-2", id) << id << 2;
}

void TestModel::normalize()
{
    QFETCH(int, id);
    QFETCH(int, expected);
    QCOMPARE(normalizeAudioType(id), expected);

    // At most two passes end on an id that a preset carries, which is why the
    // dialog resolves a chain such as 0x1014 -> 16 -> 14 before it opens.
    QSet<int> presetIds;
    for (const AudioTypeSource& source : audioTypeSources())
        presetIds.insert(source.id);
    QCOMPARE(presetIds.size(), 20);
    int result = normalizeAudioType(id);
    if (!presetIds.contains(result))
        result = normalizeAudioType(result);
    QVERIFY2(presetIds.contains(result), qPrintable(QString::number(result)));
}

void TestModel::everyOtherIdBecomesMpeg2()
{
    QSet<int> listed;
    for (const auto& entry : normalizationTable)
        listed.insert(entry.first);
    for (int id = -300; id <= 0x3100; ++id) {
        if (!listed.contains(id) && normalizeAudioType(id) != 2)
            QFAIL(qPrintable(QStringLiteral("id %1 normalised to %2").arg(id).arg(normalizeAudioType(id))));
    }
}

void TestModel::presetName_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("DVD") << 4 << "MPEG-2 DVD";
    QTest::newRow("MPEG-1") << 0 << "MPEG-1";
    QTest::newRow("AVC HD") << 44 << "AVC HD";
    QTest::newRow("DVD-VR") << 14 << "MPEG-2 DVD-VR";
    QTest::newRow("Blu-ray") << 27 << "MPEG-2 Blu-ray Disc";
    QTest::newRow("no preset 16") << 16 << "";
    QTest::newRow("no preset -1") << -1 << "";
}

void TestModel::presetName()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    QCOMPARE(::presetName(untranslatedPresets(), id), name);
    if (!name.isEmpty())
        QCOMPARE(untranslatedPresets().value(name), id);

    // Two names with one id (a translation may map two sources to one text):
    // the first in map order.
    PresetMap presets;
    presets.insert(QStringLiteral("B"), id);
    presets.insert(QStringLiteral("A"), id);
    QCOMPARE(::presetName(presets, id), QStringLiteral("A"));
}

void TestModel::derive_data()
{
    QTest::addColumn<QString>("fields"); // changed from baseSettings()
    QTest::addColumn<QString>("texts"); // Layer|Mode|Bitrate|Psych Model|Emphasis
    const auto row = [](const char* name, const char* fields, const QString& texts) {
        QTest::newRow(name) << QString::fromLatin1(fields) << texts;
    };

    row("base", "", "Layer 2|Joint Stereo|192|Model 1|Off");
    row("LSF frequency", "sampleFrequency=24000", "Layer 2|Joint Stereo|96|Model 1|Off");
    row("Layer I", "layer=1", "Layer 1|Joint Stereo|320|Model 1|Off");
    row("Layer I index 14", "layer=1 bitrateIndex=14", "Layer 1|Joint Stereo|448|Model 1|Off");
    row("Layer I LSF 16000", "layer=1 sampleFrequency=16000", "Layer 1|Joint Stereo|160|Model 1|Off");
    row("LSF 22050 index 1", "sampleFrequency=22050 bitrateIndex=1", "Layer 2|Joint Stereo|8|Model 1|Off");
    row("index 0", "bitrateIndex=0", "Layer 2|Joint Stereo||Model 1|Off");
    row("index 15", "bitrateIndex=15", "Layer 2|Joint Stereo||Model 1|Off");
    row("index -3", "bitrateIndex=-3", "Layer 2|Joint Stereo||Model 1|Off");
    row("index 99", "bitrateIndex=99", "Layer 2|Joint Stereo||Model 1|Off");
    row("layer 0", "layer=0 bitrateIndex=14", "Layer 2|Joint Stereo|384|Model 1|Off");
    row("layer 3", "layer=3", "Layer 2|Joint Stereo|192|Model 1|Off");
    row("stereo", "mode=0", "Layer 2|Stereo|192|Model 1|Off");
    row("dual channel", "mode=2", "Layer 2|Dual Channel|192|Model 1|Off");
    row("mono", "mode=3", "Layer 2|Mono|192|Model 1|Off");
    row("mode 4", "mode=4", "Layer 2|Stereo|192|Model 1|Off");
    row("mode -1", "mode=-1", "Layer 2|Stereo|192|Model 1|Off");
    row("model 2", "psychModel=2", "Layer 2|Joint Stereo|192|Model 2|Off");
    row("model 0", "psychModel=0", "Layer 2|Joint Stereo|192|Model 2|Off");
    row("emphasis 1", "emphasis=1", "Layer 2|Joint Stereo|192|Model 1|" + micro);
    row("emphasis 2 reserved", "emphasis=2", "Layer 2|Joint Stereo|192|Model 1|Off");
    row("emphasis 3", "emphasis=3", "Layer 2|Joint Stereo|192|Model 1|CCITT J.17");
    row("emphasis 4", "emphasis=4", "Layer 2|Joint Stereo|192|Model 1|Off");
    row("record all zero", "mode=0 layer=0 psychModel=0 bitrateIndex=0", "Layer 2|Stereo||Model 2|Off");
    row("flag words set", "privateBit=1 errorProtection=1 copyrightBit=1 originalBit=1",
        "Layer 2|Joint Stereo|192|Model 1|Off");
    row("flag words raw", "privateBit=5 errorProtection=-1 copyrightBit=7 originalBit=0x10000",
        "Layer 2|Joint Stereo|192|Model 1|Off");
}

void TestModel::derive()
{
    QFETCH(QString, fields);
    QFETCH(QString, texts);

    const EncoderSettings settings = withFields(baseSettings(), fields);
    const ConfigState state = derivePageState(settings);

    QCOMPARE(state.size(), 10);
    for (auto it = state.cbegin(); it != state.cend(); ++it)
        QVERIFY2(it.value().enabled, qPrintable(it.key()));
    QStringList shown;
    for (const char* name : { "Layer", "Mode", "Bitrate", "Psych Model", "Emphasis" }) {
        const QVariant value = state.value(QLatin1String(name)).value;
        QCOMPARE(value.userType(), int(QMetaType::QString));
        shown.append(value.toString());
    }
    QCOMPARE(shown.join(QLatin1Char('|')), texts);
    // Numbers and flag words go out raw, as integers.
    const QList<QPair<QString, int32_t>> raw = { { "Audio Frequency", settings.sampleFrequency },
        { "Private", settings.privateBit }, { "Error Protection", settings.errorProtection },
        { "Copyright", settings.copyrightBit }, { "Original", settings.originalBit } };
    for (const auto& [name, word] : raw) {
        QCOMPARE(state.value(name).value.userType(), int(QMetaType::Int));
        QCOMPARE(state.value(name).value.toInt(), word);
    }
}

void TestModel::apply_data()
{
    QTest::addColumn<QString>("setup"); // fields changed from the base before the application
    QTest::addColumn<QVariantMap>("state"); // the change state
    QTest::addColumn<QString>("changes"); // fields that must differ from the setup afterwards
    QTest::addColumn<QList<int>>("defaults"); // audio types the defaults function was called with
    using Map = QVariantMap;
    const auto row = [](const char* name, const char* setup, const Map& state, const char* changes,
                         const QList<int>& defaults = {}) {
        QTest::newRow(name) << QString::fromLatin1(setup) << state << QString::fromLatin1(changes) << defaults;
    };

    // A restore clears bytes 0-4095 through the defaults function.
    row("restore DVD", "", Map { { "Restore Preset", "MPEG-2 DVD" } }, "bitrateIndex=7", QList<int> { 4 });
    row("restore ignores other items", "",
        Map { { "Restore Preset", "MPEG-1 DVD" }, { "Layer", "Layer 1" }, { "Private", true } },
        "audioType=13 bitrateIndex=7", QList<int> { 13 });
    row("restore unknown name", "", Map { { "Restore Preset", "" } }, "audioType=0 bitrateIndex=7", QList<int> { 0 });
    row("restore keeps raw flags", "privateBit=5", Map { { "Restore Preset", "MPEG-1 VideoCD" } },
        "audioType=1 bitrateIndex=7", QList<int> { 1 });
    row("audio type", "", Map { { "Audio Type", "MPEG-2 Blu-ray Disc" } }, "audioType=27");
    row("audio type VideoCD", "", Map { { "Audio Type", "MPEG-1 VideoCD" } }, "audioType=1");
    row("audio type unknown", "", Map { { "Audio Type", "Vinyl" } }, "audioType=0");
    row("audio type wrong case", "", Map { { "Audio Type", "mpeg-2 dvd" } }, "audioType=0");
    row("layer 1", "", Map { { "Layer", "Layer 1" } }, "layer=1");
    row("layer 2", "layer=1", Map { { "Layer", "Layer 2" } }, "layer=2");
    row("layer wrong case", "layer=1", Map { { "Layer", "layer 1" } }, "layer=2");
    row("layer 0 becomes 2", "layer=0", Map { { "Layer", "Layer 2" } }, "layer=2");
    row("mono", "", Map { { "Mode", "Mono" } }, "mode=3");
    row("dual channel", "", Map { { "Mode", "Dual Channel" } }, "mode=2");
    row("joint stereo", "mode=0", Map { { "Mode", "Joint Stereo" } }, "mode=1");
    row("stereo", "", Map { { "Mode", "Stereo" } }, "mode=0");
    row("mode unknown", "mode=3", Map { { "Mode", "Surround" } }, "mode=0");
    row("mono rewrites copyright 7", "copyrightBit=7", Map { { "Mode", "Mono" } }, "mode=3 copyrightBit=1");
    row("frequency 24000", "", Map { { "Audio Frequency", 24000 } }, "sampleFrequency=24000");
    row("frequency as text", "", Map { { "Audio Frequency", "44100" } }, "sampleFrequency=44100");
    row("frequency not a number", "", Map { { "Audio Frequency", "fast" } }, "sampleFrequency=0");
    row("bitrate 256", "", Map { { "Bitrate", "256" } }, "bitrateIndex=12");
    row("bitrate 448 under Layer II", "", Map { { "Bitrate", "448" } }, "");
    row("bitrate 448 under Layer I", "layer=1", Map { { "Bitrate", "448" } }, "bitrateIndex=14");
    row("bitrate 8 at 22050", "sampleFrequency=22050", Map { { "Bitrate", "8" } }, "bitrateIndex=1");
    row("bitrate empty", "", Map { { "Bitrate", "" } }, "");
    row("bitrate after layer in same state", "", Map { { "Layer", "Layer 1" }, { "Bitrate", "416" } },
        "layer=1 bitrateIndex=13");
    row("bitrate after frequency in same state", "", Map { { "Audio Frequency", 16000 }, { "Bitrate", "144" } },
        "sampleFrequency=16000 bitrateIndex=13");
    row("layer keeps bitrate index", "bitrateIndex=14", Map { { "Layer", "Layer 1" } }, "layer=1");
    row("model 1", "psychModel=2", Map { { "Psych Model", "Model 1" } }, "psychModel=1");
    row("model 2", "", Map { { "Psych Model", "Model 2" } }, "psychModel=2");
    row("model unknown", "", Map { { "Psych Model", "Model 3" } }, "psychModel=2");
    row("emphasis CCITT", "", Map { { "Emphasis", "CCITT J.17" } }, "emphasis=3");
    row("emphasis 50/15", "", Map { { "Emphasis", micro } }, "emphasis=1");
    row("emphasis 50/15 with u", "emphasis=1", Map { { "Emphasis", "50/15 us" } }, "emphasis=0");
    row("emphasis off", "emphasis=2", Map { { "Emphasis", "Off" } }, "emphasis=0");
    row("private true", "", Map { { "Private", true } }, "privateBit=1");
    row("private false", "privateBit=1", Map { { "Private", false } }, "privateBit=0");
    row("error protection", "", Map { { "Error Protection", true } }, "errorProtection=1");
    row("copyright false over 9", "copyrightBit=9", Map { { "Copyright", false } }, "copyrightBit=0");
    row("original int 2", "", Map { { "Original", 2 } }, "originalBit=1");
    row("unnamed sender normalises flags", "privateBit=5 errorProtection=-1 copyrightBit=0 originalBit=256",
        Map { { "", "Layer 1" } }, "privateBit=1 errorProtection=1 originalBit=1");
    row("unknown item ignored", "", Map { { "Sample Rate", 22050 } }, "");
}

void TestModel::apply()
{
    QFETCH(QString, setup);
    QFETCH(QVariantMap, state);
    QFETCH(QString, changes);
    QFETCH(QList<int>, defaults);

    const EncoderSettings before = withFields(baseSettings(), setup);
    EncoderSettings expected = before;
    if (!defaults.isEmpty())
        std::memset(&expected, 0, VL_SETTINGS_RECORD_SIZE);
    expected = withFields(expected, changes);

    ConfigState change;
    for (auto it = state.cbegin(); it != state.cend(); ++it)
        change.insert(it.key(), ConfigItem(it.value(), true));
    EncoderSettings settings = before;
    defaultsCalls.clear();
    defaultsTarget = nullptr;
    applyChangeState(settings, change, untranslatedPresets(), recordingDefaults);

    QCOMPARE(defaultsCalls, defaults);
    if (!defaults.isEmpty())
        QCOMPARE(defaultsTarget, &settings);
    compareSettings(settings, expected);
}

void TestModel::applyIgnoresEnabled()
{
    EncoderSettings settings = baseSettings();
    ConfigState state;
    state.insert(ItemName::Mode, ConfigItem(QStringLiteral("Mono"), false));
    applyChangeState(settings, state, untranslatedPresets(), recordingDefaults);
    QCOMPARE(settings.mode, 3);
}

void TestModel::restoreWithoutDefaultsFunction()
{
    EncoderSettings settings = baseSettings();
    ConfigState state;
    state.insert(ItemName::RestorePreset, ConfigItem(QStringLiteral("MPEG-2 HDV HD1"), true));
    applyChangeState(settings, state, untranslatedPresets(), nullptr);
    compareSettings(settings, withFields(baseSettings(), QStringLiteral("audioType=18")));
}

void TestModel::deriveThenApplyIsIdentity()
{
    // Every valid combination survives a trip through the texts: what is
    // derived for a code is exactly what the application maps back to it.
    const PresetMap presets = untranslatedPresets();
    for (int32_t frequency : { 48000, 44100, 32000, 24000, 22050, 16000 })
        for (int32_t layer : { 1, 2 })
            for (int32_t mode = 0; mode <= 3; ++mode)
                for (int32_t index = 1; index <= 14; ++index)
                    for (int32_t emphasis : { 0, 1, 3 })
                        for (int32_t bits = 0; bits < 32; bits += 5) {
                            EncoderSettings original = baseSettings();
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

                            // Start from a different state so every field must be written.
                            EncoderSettings settings = original;
                            settings.layer = 3 - layer;
                            settings.mode = 3 - mode;
                            settings.bitrateIndex = 15 - index;
                            settings.emphasis = emphasis == 0 ? 1 : 0;
                            settings.psychModel = 3 - original.psychModel;
                            settings.privateBit = !original.privateBit;
                            settings.errorProtection = !original.errorProtection;
                            settings.copyrightBit = !original.copyrightBit;
                            settings.originalBit = !original.originalBit;
                            settings.sampleFrequency = 0;

                            applyChangeState(settings, derivePageState(original), presets, recordingDefaults);
                            if (std::memcmp(&settings, &original, sizeof settings) != 0)
                                QFAIL(qPrintable(QStringLiteral("%1 Hz layer %2 mode %3 index %4 emphasis %5 bits %6")
                                                     .arg(frequency)
                                                     .arg(layer)
                                                     .arg(mode)
                                                     .arg(index)
                                                     .arg(emphasis)
                                                     .arg(bits)));
                        }
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
