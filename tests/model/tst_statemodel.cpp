#include "model/statemodel.h"
#include "model/valuetables.h"

#include <QTest>
#include <cstring>

// Derivation of the page state from the settings and application of change
// states to the settings.
class TestStateModel : public QObject
{
    Q_OBJECT

private slots:
    void derive_data();
    void derive();
    void deriveFlagWordsRaw_data();
    void deriveFlagWordsRaw();
    void apply_data();
    void apply();
    void applyIgnoresEnabled();
    void restoreWithoutDefaultsFunction();
    void deriveThenApplyIsIdentity();
};

namespace {

const QStringList fieldNames = { "mode", "layer", "psychModel", "bitrateIndex", "emphasis", "privateBit",
    "errorProtection", "copyrightBit", "originalBit", "audioType", "sampleFrequency" };

int32_t* field(EncoderSettings& settings, const QString& name)
{
    int32_t* const fields[] = { &settings.mode, &settings.layer, &settings.psychModel, &settings.bitrateIndex,
        &settings.emphasis, &settings.privateBit, &settings.errorProtection, &settings.copyrightBit,
        &settings.originalBit, &settings.audioType, &settings.sampleFrequency };
    const int index = fieldNames.indexOf(name);
    Q_ASSERT(index >= 0);
    return fields[index];
}

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

EncoderSettings withFields(EncoderSettings settings, const QVariantMap& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        *field(settings, it.key()) = it.value().toInt();
    return settings;
}

ConfigState toState(const QVariantMap& items)
{
    ConfigState state;
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        state.insert(it.key(), ConfigItem(it.value(), true));
    return state;
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

void compareSettings(const EncoderSettings& actual, const EncoderSettings& expected)
{
    for (const QString& name : fieldNames) {
        EncoderSettings a = actual;
        EncoderSettings e = expected;
        if (*field(a, name) != *field(e, name))
            QFAIL(
                qPrintable(QStringLiteral("%1: %2, expected %3").arg(name).arg(*field(a, name)).arg(*field(e, name))));
    }
    QVERIFY(std::memcmp(&actual, &expected, sizeof actual) == 0);
}

const QString micro = QStringLiteral("50/15 \u00B5s");

} // namespace

void TestStateModel::derive_data()
{
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<QStringList>("texts"); // Layer, Mode, Bitrate, Psych Model, Emphasis

    QTest::newRow("base") << QVariantMap {} << QStringList { "Layer 2", "Joint Stereo", "192", "Model 1", "Off" };
    QTest::newRow("LSF frequency") << QVariantMap { { "sampleFrequency", 24000 } }
                                   << QStringList { "Layer 2", "Joint Stereo", "96", "Model 1", "Off" };
    QTest::newRow("Layer I") << QVariantMap { { "layer", 1 } }
                             << QStringList { "Layer 1", "Joint Stereo", "320", "Model 1", "Off" };
    QTest::newRow("Layer I index 14") << QVariantMap { { "layer", 1 }, { "bitrateIndex", 14 } }
                                      << QStringList { "Layer 1", "Joint Stereo", "448", "Model 1", "Off" };
    QTest::newRow("Layer I LSF 16000") << QVariantMap { { "layer", 1 }, { "sampleFrequency", 16000 } }
                                       << QStringList { "Layer 1", "Joint Stereo", "160", "Model 1", "Off" };
    QTest::newRow("LSF 22050 index 1") << QVariantMap { { "sampleFrequency", 22050 }, { "bitrateIndex", 1 } }
                                       << QStringList { "Layer 2", "Joint Stereo", "8", "Model 1", "Off" };
    QTest::newRow("index 0") << QVariantMap { { "bitrateIndex", 0 } }
                             << QStringList { "Layer 2", "Joint Stereo", "", "Model 1", "Off" };
    QTest::newRow("index 15") << QVariantMap { { "bitrateIndex", 15 } }
                              << QStringList { "Layer 2", "Joint Stereo", "", "Model 1", "Off" };
    QTest::newRow("index -3") << QVariantMap { { "bitrateIndex", -3 } }
                              << QStringList { "Layer 2", "Joint Stereo", "", "Model 1", "Off" };
    QTest::newRow("index 99") << QVariantMap { { "bitrateIndex", 99 } }
                              << QStringList { "Layer 2", "Joint Stereo", "", "Model 1", "Off" };
    QTest::newRow("layer 0") << QVariantMap { { "layer", 0 }, { "bitrateIndex", 14 } }
                             << QStringList { "Layer 2", "Joint Stereo", "384", "Model 1", "Off" };
    QTest::newRow("layer 3") << QVariantMap { { "layer", 3 } }
                             << QStringList { "Layer 2", "Joint Stereo", "192", "Model 1", "Off" };
    QTest::newRow("stereo") << QVariantMap { { "mode", 0 } }
                            << QStringList { "Layer 2", "Stereo", "192", "Model 1", "Off" };
    QTest::newRow("dual channel") << QVariantMap { { "mode", 2 } }
                                  << QStringList { "Layer 2", "Dual Channel", "192", "Model 1", "Off" };
    QTest::newRow("mono") << QVariantMap { { "mode", 3 } }
                          << QStringList { "Layer 2", "Mono", "192", "Model 1", "Off" };
    QTest::newRow("mode 4") << QVariantMap { { "mode", 4 } }
                            << QStringList { "Layer 2", "Stereo", "192", "Model 1", "Off" };
    QTest::newRow("mode -1") << QVariantMap { { "mode", -1 } }
                             << QStringList { "Layer 2", "Stereo", "192", "Model 1", "Off" };
    QTest::newRow("model 2") << QVariantMap { { "psychModel", 2 } }
                             << QStringList { "Layer 2", "Joint Stereo", "192", "Model 2", "Off" };
    QTest::newRow("model 0") << QVariantMap { { "psychModel", 0 } }
                             << QStringList { "Layer 2", "Joint Stereo", "192", "Model 2", "Off" };
    QTest::newRow("emphasis 1") << QVariantMap { { "emphasis", 1 } }
                                << QStringList { "Layer 2", "Joint Stereo", "192", "Model 1", micro };
    QTest::newRow("emphasis 2 reserved") << QVariantMap { { "emphasis", 2 } }
                                         << QStringList { "Layer 2", "Joint Stereo", "192", "Model 1", "Off" };
    QTest::newRow("emphasis 3") << QVariantMap { { "emphasis", 3 } }
                                << QStringList { "Layer 2", "Joint Stereo", "192", "Model 1", "CCITT J.17" };
    QTest::newRow("emphasis 4") << QVariantMap { { "emphasis", 4 } }
                                << QStringList { "Layer 2", "Joint Stereo", "192", "Model 1", "Off" };
    QTest::newRow("record all zero") << QVariantMap { { "mode", 0 }, { "layer", 0 }, { "psychModel", 0 },
        { "bitrateIndex", 0 } } << QStringList { "Layer 2", "Stereo", "", "Model 2", "Off" };
}

void TestStateModel::derive()
{
    QFETCH(QVariantMap, fields);
    QFETCH(QStringList, texts);

    const EncoderSettings settings = withFields(baseSettings(), fields);
    const ConfigState state = derivePageState(settings);

    const QStringList names = { "Layer", "Mode", "Audio Frequency", "Bitrate", "Psych Model", "Emphasis", "Private",
        "Error Protection", "Copyright", "Original" };
    QCOMPARE(state.size(), names.size());
    for (const QString& name : names) {
        QVERIFY2(state.contains(name), qPrintable(name));
        QVERIFY2(state.value(name).enabled, qPrintable(name));
    }
    QCOMPARE(state.value("Layer").value.toString(), texts.at(0));
    QCOMPARE(state.value("Mode").value.toString(), texts.at(1));
    QCOMPARE(state.value("Bitrate").value.toString(), texts.at(2));
    QCOMPARE(state.value("Psych Model").value.toString(), texts.at(3));
    QCOMPARE(state.value("Emphasis").value.toString(), texts.at(4));
    QCOMPARE(state.value("Bitrate").value.userType(), int(QMetaType::QString));
    QCOMPARE(state.value("Audio Frequency").value.userType(), int(QMetaType::Int));
    QCOMPARE(state.value("Audio Frequency").value.toInt(), settings.sampleFrequency);
}

void TestStateModel::deriveFlagWordsRaw_data()
{
    QTest::addColumn<QList<int>>("words"); // private, error protection, copyright, original
    QTest::newRow("clear") << QList<int> { 0, 0, 0, 0 };
    QTest::newRow("set") << QList<int> { 1, 1, 1, 1 };
    QTest::newRow("mixed") << QList<int> { 1, 0, 1, 0 };
    QTest::newRow("raw values") << QList<int> { 5, -1, 7, 0x10000 };
}

void TestStateModel::deriveFlagWordsRaw()
{
    QFETCH(QList<int>, words);
    EncoderSettings settings = baseSettings();
    settings.privateBit = words.at(0);
    settings.errorProtection = words.at(1);
    settings.copyrightBit = words.at(2);
    settings.originalBit = words.at(3);

    const ConfigState state = derivePageState(settings);
    const QStringList names = { "Private", "Error Protection", "Copyright", "Original" };
    for (int i = 0; i < names.size(); ++i) {
        const QVariant value = state.value(names.at(i)).value;
        QCOMPARE(value.userType(), int(QMetaType::Int));
        QCOMPARE(value.toInt(), words.at(i));
    }
}

void TestStateModel::apply_data()
{
    QTest::addColumn<QVariantMap>("setup"); // fields changed from the base before the application
    QTest::addColumn<QVariantMap>("state"); // the change state
    QTest::addColumn<QVariantMap>("changes"); // fields that must differ from the setup afterwards
    QTest::addColumn<QList<int>>("defaults"); // audio types the defaults function was called with
    QTest::addColumn<bool>("recordCleared"); // whether the defaults cleared bytes 0-4095

    const QVariantMap none;
    const QList<int> noCalls;

    QTest::newRow("restore DVD") << none << QVariantMap { { "Restore Preset", "MPEG-2 DVD" } }
                                 << QVariantMap { { "bitrateIndex", 7 } } << QList<int> { 4 } << true;
    QTest::newRow("restore ignores other items")
        << none << QVariantMap { { "Restore Preset", "MPEG-1 DVD" }, { "Layer", "Layer 1" }, { "Private", true } }
        << QVariantMap { { "audioType", 13 }, { "bitrateIndex", 7 } } << QList<int> { 13 } << true;
    QTest::newRow("restore unknown name")
        << none << QVariantMap { { "Restore Preset", "" } } << QVariantMap { { "audioType", 0 }, { "bitrateIndex", 7 } }
        << QList<int> { 0 } << true;
    QTest::newRow("restore keeps raw flags")
        << QVariantMap { { "privateBit", 5 } } << QVariantMap { { "Restore Preset", "MPEG-1 VideoCD" } }
        << QVariantMap { { "audioType", 1 }, { "bitrateIndex", 7 } } << QList<int> { 1 } << true;

    QTest::newRow("audio type") << none << QVariantMap { { "Audio Type", "MPEG-2 Blu-ray Disc" } }
                                << QVariantMap { { "audioType", 27 } } << noCalls << false;
    QTest::newRow("audio type VideoCD loads no defaults") << none << QVariantMap { { "Audio Type", "MPEG-1 VideoCD" } }
                                                          << QVariantMap { { "audioType", 1 } } << noCalls << false;
    QTest::newRow("audio type unknown") << none << QVariantMap { { "Audio Type", "Vinyl" } }
                                        << QVariantMap { { "audioType", 0 } } << noCalls << false;
    QTest::newRow("audio type wrong case") << none << QVariantMap { { "Audio Type", "mpeg-2 dvd" } }
                                           << QVariantMap { { "audioType", 0 } } << noCalls << false;

    QTest::newRow("layer 1") << none << QVariantMap { { "Layer", "Layer 1" } } << QVariantMap { { "layer", 1 } }
                             << noCalls << false;
    QTest::newRow("layer 2") << QVariantMap { { "layer", 1 } } << QVariantMap { { "Layer", "Layer 2" } }
                             << QVariantMap { { "layer", 2 } } << noCalls << false;
    QTest::newRow("layer wrong case") << QVariantMap { { "layer", 1 } } << QVariantMap { { "Layer", "layer 1" } }
                                      << QVariantMap { { "layer", 2 } } << noCalls << false;
    QTest::newRow("layer 0 becomes 2") << QVariantMap { { "layer", 0 } } << QVariantMap { { "Layer", "Layer 2" } }
                                       << QVariantMap { { "layer", 2 } } << noCalls << false;

    QTest::newRow("mono") << none << QVariantMap { { "Mode", "Mono" } } << QVariantMap { { "mode", 3 } } << noCalls
                          << false;
    QTest::newRow("dual channel") << none << QVariantMap { { "Mode", "Dual Channel" } } << QVariantMap { { "mode", 2 } }
                                  << noCalls << false;
    QTest::newRow("joint stereo") << QVariantMap { { "mode", 0 } } << QVariantMap { { "Mode", "Joint Stereo" } }
                                  << QVariantMap { { "mode", 1 } } << noCalls << false;
    QTest::newRow("stereo") << none << QVariantMap { { "Mode", "Stereo" } } << QVariantMap { { "mode", 0 } } << noCalls
                            << false;
    QTest::newRow("mode unknown") << QVariantMap { { "mode", 3 } } << QVariantMap { { "Mode", "Surround" } }
                                  << QVariantMap { { "mode", 0 } } << noCalls << false;
    QTest::newRow("mono rewrites copyright 7")
        << QVariantMap { { "copyrightBit", 7 } } << QVariantMap { { "Mode", "Mono" } }
        << QVariantMap { { "mode", 3 }, { "copyrightBit", 1 } } << noCalls << false;

    QTest::newRow("frequency 24000") << none << QVariantMap { { "Audio Frequency", 24000 } }
                                     << QVariantMap { { "sampleFrequency", 24000 } } << noCalls << false;
    QTest::newRow("frequency as text") << none << QVariantMap { { "Audio Frequency", "44100" } }
                                       << QVariantMap { { "sampleFrequency", 44100 } } << noCalls << false;
    QTest::newRow("frequency not a number") << none << QVariantMap { { "Audio Frequency", "fast" } }
                                            << QVariantMap { { "sampleFrequency", 0 } } << noCalls << false;

    QTest::newRow("bitrate 256") << none << QVariantMap { { "Bitrate", "256" } }
                                 << QVariantMap { { "bitrateIndex", 12 } } << noCalls << false;
    QTest::newRow("bitrate 448 under Layer II")
        << none << QVariantMap { { "Bitrate", "448" } } << none << noCalls << false;
    QTest::newRow("bitrate 448 under Layer I") << QVariantMap { { "layer", 1 } } << QVariantMap { { "Bitrate", "448" } }
                                               << QVariantMap { { "bitrateIndex", 14 } } << noCalls << false;
    QTest::newRow("bitrate 8 at 22050") << QVariantMap { { "sampleFrequency", 22050 } }
                                        << QVariantMap { { "Bitrate", "8" } } << QVariantMap { { "bitrateIndex", 1 } }
                                        << noCalls << false;
    QTest::newRow("bitrate empty") << none << QVariantMap { { "Bitrate", "" } } << none << noCalls << false;
    QTest::newRow("bitrate after layer in same state")
        << none << QVariantMap { { "Layer", "Layer 1" }, { "Bitrate", "416" } }
        << QVariantMap { { "layer", 1 }, { "bitrateIndex", 13 } } << noCalls << false;
    QTest::newRow("bitrate after frequency in same state")
        << none << QVariantMap { { "Audio Frequency", 16000 }, { "Bitrate", "144" } }
        << QVariantMap { { "sampleFrequency", 16000 }, { "bitrateIndex", 13 } } << noCalls << false;
    QTest::newRow("layer keeps bitrate index")
        << QVariantMap { { "bitrateIndex", 14 } } << QVariantMap { { "Layer", "Layer 1" } }
        << QVariantMap { { "layer", 1 } } << noCalls << false;

    QTest::newRow("model 1") << QVariantMap { { "psychModel", 2 } } << QVariantMap { { "Psych Model", "Model 1" } }
                             << QVariantMap { { "psychModel", 1 } } << noCalls << false;
    QTest::newRow("model 2") << none << QVariantMap { { "Psych Model", "Model 2" } }
                             << QVariantMap { { "psychModel", 2 } } << noCalls << false;
    QTest::newRow("model unknown") << none << QVariantMap { { "Psych Model", "Model 3" } }
                                   << QVariantMap { { "psychModel", 2 } } << noCalls << false;

    QTest::newRow("emphasis CCITT") << none << QVariantMap { { "Emphasis", "CCITT J.17" } }
                                    << QVariantMap { { "emphasis", 3 } } << noCalls << false;
    QTest::newRow("emphasis 50/15") << none << QVariantMap { { "Emphasis", micro } }
                                    << QVariantMap { { "emphasis", 1 } } << noCalls << false;
    QTest::newRow("emphasis 50/15 with u")
        << QVariantMap { { "emphasis", 1 } } << QVariantMap { { "Emphasis", "50/15 us" } }
        << QVariantMap { { "emphasis", 0 } } << noCalls << false;
    QTest::newRow("emphasis off") << QVariantMap { { "emphasis", 2 } } << QVariantMap { { "Emphasis", "Off" } }
                                  << QVariantMap { { "emphasis", 0 } } << noCalls << false;

    QTest::newRow("private true") << none << QVariantMap { { "Private", true } } << QVariantMap { { "privateBit", 1 } }
                                  << noCalls << false;
    QTest::newRow("private false") << QVariantMap { { "privateBit", 1 } } << QVariantMap { { "Private", false } }
                                   << QVariantMap { { "privateBit", 0 } } << noCalls << false;
    QTest::newRow("error protection") << none << QVariantMap { { "Error Protection", true } }
                                      << QVariantMap { { "errorProtection", 1 } } << noCalls << false;
    QTest::newRow("copyright false over 9")
        << QVariantMap { { "copyrightBit", 9 } } << QVariantMap { { "Copyright", false } }
        << QVariantMap { { "copyrightBit", 0 } } << noCalls << false;
    QTest::newRow("original int 2") << none << QVariantMap { { "Original", 2 } } << QVariantMap { { "originalBit", 1 } }
                                    << noCalls << false;
    QTest::newRow("unnamed sender normalises flags")
        << QVariantMap { { "privateBit", 5 }, { "errorProtection", -1 }, { "copyrightBit", 0 }, { "originalBit", 256 } }
        << QVariantMap { { "", "Layer 1" } }
        << QVariantMap { { "privateBit", 1 }, { "errorProtection", 1 }, { "originalBit", 1 } } << noCalls << false;
    QTest::newRow("unknown item ignored")
        << none << QVariantMap { { "Sample Rate", 22050 } } << none << noCalls << false;
}

void TestStateModel::apply()
{
    QFETCH(QVariantMap, setup);
    QFETCH(QVariantMap, state);
    QFETCH(QVariantMap, changes);
    QFETCH(QList<int>, defaults);
    QFETCH(bool, recordCleared);

    const EncoderSettings before = withFields(baseSettings(), setup);
    EncoderSettings expected = before;
    if (recordCleared)
        std::memset(&expected, 0, VL_SETTINGS_RECORD_SIZE);
    expected = withFields(expected, changes);

    EncoderSettings settings = before;
    defaultsCalls.clear();
    defaultsTarget = nullptr;
    applyChangeState(settings, toState(state), untranslatedPresets(), recordingDefaults);

    QCOMPARE(defaultsCalls, defaults);
    if (!defaults.isEmpty())
        QCOMPARE(defaultsTarget, &settings);
    compareSettings(settings, expected);
}

void TestStateModel::applyIgnoresEnabled()
{
    EncoderSettings settings = baseSettings();
    ConfigState state;
    state.insert(ItemName::Mode, ConfigItem(QStringLiteral("Mono"), false));
    applyChangeState(settings, state, untranslatedPresets(), recordingDefaults);
    QCOMPARE(settings.mode, 3);
}

void TestStateModel::restoreWithoutDefaultsFunction()
{
    EncoderSettings settings = baseSettings();
    ConfigState state;
    state.insert(ItemName::RestorePreset, ConfigItem(QStringLiteral("MPEG-2 HDV HD1"), true));
    applyChangeState(settings, state, untranslatedPresets(), nullptr);
    EncoderSettings expected = baseSettings();
    expected.audioType = 18;
    compareSettings(settings, expected);
}

void TestStateModel::deriveThenApplyIsIdentity()
{
    // Every valid combination survives a trip through the texts: what is
    // derived for a code is exactly what the application maps back to it.
    const PresetMap presets = untranslatedPresets();
    int combinations = 0;
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
                            EncoderSettings settings = baseSettings();
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
                            ++combinations;
                        }
    QCOMPARE(combinations, 6 * 2 * 4 * 14 * 3 * 7);
}

QTEST_GUILESS_MAIN(TestStateModel)
#include "tst_statemodel.moc"
