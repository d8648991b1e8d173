// The settings model: bitrate tables, audio types, settings to texts and back.
#include "audiotyperules.h"
#include "model/statemodel.h"
#include "model/valuetables.h"
#include "rows.h"
#include "settingsfields.h"

#include <QSet>
#include <QTest>
#include <cstring>
#include <probe/mpegaudioheader.h>

namespace {

// MPEG-1 Layer II, 48 kHz, 224 kbps, joint stereo, model 1, MPEG-2 DVD.
EncoderSettings baseSettings(const QString& fields = QString())
{
    return hostBlock(QStringLiteral("audioType=4 ") + fields);
}

PresetMap untranslatedPresets()
{
    PresetMap presets;
    for (const AudioTypeSource& source : audioTypeSources())
        presets.insert(QString::fromLatin1(source.name), source.id);
    return presets;
}

// The encoder module's defaults: records the call, clears the record half, marks the index.
QList<int> defaultsCalls;
int32_t recordingDefaults(EncoderSettings* settings, int32_t audioType)
{
    defaultsCalls.append(audioType);
    std::memset(settings, 0, VL_SETTINGS_RECORD_SIZE);
    settings->bitrateIndex = 7;
    return 1; // ignored by the caller
}

// name (the fields changed), the texts of Layer, Mode, Bitrate, Psych Model, Emphasis
const std::tuple<const char*, const char*> deriveRows[] = {
    { "bitrateIndex=0", "Layer 2|Joint Stereo||Model 1|Off" },
    { "layer=0 bitrateIndex=14", "Layer 2|Joint Stereo|384|Model 1|Off" },
    { "mode=4 psychModel=0 emphasis=2 privateBit=5 errorProtection=-1 originalBit=0x10000",
        "Layer 2|Stereo|224|Model 2|Off" },
};

using Map = QVariantMap;
// name, fields changed, the change state, the fields changed by it, the defaults calls
const std::tuple<const char*, const char*, Map, const char*, QList<int>> applyRows[] = {
    // A restore is applied alone, through the defaults function.
    { "restore", "privateBit=5", { { "Restore Preset", "MPEG-1 DVD" }, { "Layer", "Layer 1" } },
        "audioType=13 bitrateIndex=7", { 13 } },
    { "restore unknown name", "", { { "Restore Preset", "" } }, "audioType=0 bitrateIndex=7", { 0 } },
    { "audio type", "", { { "Audio Type", "MPEG-2 Blu-ray Disc" } }, "audioType=27", {} },
    // Texts are matched exactly; unknown ones give the first entry.
    { "unknown texts", "layer=1 mode=3 emphasis=1",
        { { "Audio Type", "mpeg-2 dvd" }, { "Layer", "layer 1" }, { "Mode", "Surround" }, { "Psych Model", "Model 3" },
            { "Emphasis", "50/15 us" } },
        "audioType=0 layer=2 mode=0 psychModel=2 emphasis=0", {} },
    { "mono rewrites copyright 7", "copyrightBit=7", { { "Mode", "Mono" } }, "mode=3 copyrightBit=1", {} },
    { "frequency as text", "", { { "Audio Frequency", "44100" } }, "sampleFrequency=44100", {} },
    { "frequency not a number", "", { { "Audio Frequency", "fast" } }, "sampleFrequency=0", {} },
    { "bitrate 448 under Layer II", "", { { "Bitrate", "448" } }, "", {} },
    // The bitrate in the table of the state's layer and frequency; a layer keeps the index.
    { "bitrate after layer and frequency", "",
        { { "Layer", "Layer 1" }, { "Audio Frequency", 16000 }, { "Bitrate", "224" } },
        "layer=1 sampleFrequency=16000 bitrateIndex=13", {} },
    { "layer keeps bitrate index", "bitrateIndex=14", { { "Layer", "Layer 1" } }, "layer=1", {} },
    { "flag as int 2", "", { { "Original", 2 } }, "originalBit=1", {} },
    { "unnamed item still normalises flags", "privateBit=5 errorProtection=-1 originalBit=256", { { "", "Layer 1" } },
        "privateBit=1 errorProtection=1 originalBit=1", {} },
};

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    // Against the probe's tables, written apart; other slots and texts have no index.
    void bitrateTablesAgreeWithTheProbe()
    {
        for (const int frequency : { 32000, 44100, 48000, 16000, 22050, 24000, 11025, -16000 }) {
            const int version = frequency == 16000 || frequency == 22050 || frequency == 24000 ? 2 : 1;
            for (const int layer : { 1, 2 }) {
                const char* const* table = ValueTables::bitrateTable(frequency, layer == 1);
                for (int index = -1; index <= 16; ++index) {
                    const int kbps
                        = index < 1 || index > 14 ? 0 : vl::probe::mpegAudioBitrateKbps(version, layer, index);
                    const QString text = kbps ? QString::number(kbps) : QString();
                    QCOMPARE(ValueTables::bitrateText(table, index), text);
                    QCOMPARE(ValueTables::bitrateIndexOf(table, text), kbps ? index : 0);
                }
            }
        }
        for (const char* text : { "448", "128 kbps", " 128", "8" })
            QCOMPARE(ValueTables::bitrateIndexOf(ValueTables::bitrateTable(48000, false), QLatin1String(text)), 0);
        // The Latin-1 micro sign must become U+00B5, not a replacement character.
        QCOMPARE(ValueTables::translateLatin1("MPEGAudioPage", ValueTables::emphasisSources[1]),
            QStringLiteral("50/15 \u00B5s"));
    }

    // Any id, after at most two passes (0x1014 -> 16 -> 14), is a preset's id the encoder
    // has rules for; unknown ids become MPEG-2. Of two names of one id the first is taken.
    void audioTypes()
    {
        QSet<int> presetIds;
        for (const AudioTypeSource& source : audioTypeSources()) {
            QVERIFY2(vl::encoder::findAudioTypeRules(source.id) && !presetIds.contains(source.id), source.name);
            presetIds.insert(source.id);
        }
        int others = 0;
        for (int id = -300; id <= 0x3100; ++id) {
            const int once = normalizeAudioType(id);
            const int result = presetIds.contains(once) ? once : normalizeAudioType(once);
            QVERIFY2(presetIds.contains(result), qPrintable(QString::number(id)));
            others += result != VL_AUDIO_MPEG2;
        }
        QVERIFY(others > 0);
        QCOMPARE(normalizeAudioType(0x1014), 16);
        QCOMPARE(normalizeAudioType(16), int(VL_AUDIO_MPEG2_DVD_VR));
        QCOMPARE(normalizeAudioType(-1), int(VL_AUDIO_MPEG2));
        QCOMPARE(presetName(untranslatedPresets(), 16), QString());
        QCOMPARE(presetName(PresetMap { { "B", 4 }, { "A", 4 } }, 4), QStringLiteral("A"));
    }

    void derive_data() { addRows(deriveRows); }

    // The frequency and the flag words go out raw, as integers; every item is enabled.
    void derive()
    {
        const auto& [fields, texts] = currentRow(deriveRows);
        const EncoderSettings settings = baseSettings(fields);
        const ConfigState state = derivePageState(settings);
        QStringList shown;
        for (const QString& name :
            { ItemName::Layer, ItemName::Mode, ItemName::Bitrate, ItemName::PsychModel, ItemName::Emphasis })
            shown << state.value(name).value.toString()
                    + (state.value(name).value.userType() == QMetaType::QString ? "" : "?");
        QCOMPARE(shown.join(QLatin1Char('|')), QLatin1String(texts));
        for (const auto& [name, word] : { std::pair { ItemName::AudioFrequency, settings.sampleFrequency },
                 { ItemName::Private, settings.privateBit }, { ItemName::ErrorProtection, settings.errorProtection },
                 { ItemName::Copyright, settings.copyrightBit }, { ItemName::Original, settings.originalBit } })
            QCOMPARE(state.value(name).value, QVariant(word));
        QCOMPARE(state.size(), 10);
        for (const ConfigItem& item : state)
            QVERIFY(item.enabled);
    }

    void apply_data() { addRows(applyRows); }

    // The enabled flag plays no part. Without a defaults function a restore sets the type alone.
    void apply()
    {
        const auto& [name, setup, items, changes, defaults] = currentRow(applyRows);
        EncoderSettings expected = baseSettings(setup);
        std::memset(&expected, 0, defaults.isEmpty() ? 0 : VL_SETTINGS_RECORD_SIZE);
        expected = withFields(expected, changes);
        ConfigState change;
        for (auto it = items.cbegin(); it != items.cend(); ++it)
            change.insert(it.key(), ConfigItem(it.value(), false));
        EncoderSettings settings = baseSettings(setup);
        defaultsCalls.clear();
        applyChangeState(settings, change, untranslatedPresets(), recordingDefaults);
        QCOMPARE(defaultsCalls, defaults);
        QCOMPARE(blockDifference(settings, expected), QString());
        if (!defaults.isEmpty()) {
            settings = baseSettings(setup);
            applyChangeState(settings, change, untranslatedPresets(), nullptr);
            const EncoderSettings typeOnly
                = baseSettings(setup + QStringLiteral(" audioType=%1").arg(expected.audioType));
            QCOMPARE(blockDifference(settings, typeOnly), QString());
        }
    }

    // Every valid combination survives the trip through the texts, into a block of 99s.
    void deriveThenApplyIsIdentity()
    {
        const PresetMap presets = untranslatedPresets();
        for (const int32_t frequency : { 48000, 44100, 32000, 24000, 22050, 16000 })
            for (int32_t layer = 1; layer <= 2; ++layer)
                for (int32_t mode = 0; mode <= 3; ++mode)
                    for (int32_t index = 1; index <= 14; ++index)
                        for (const int32_t emphasis : { 0, 1, 3 })
                            for (int32_t bits = 0; bits < 32; bits += 5) {
                                const EncoderSettings original = baseSettings(QString::asprintf(
                                    "sampleFrequency=%d layer=%d mode=%d bitrateIndex=%d emphasis=%d psychModel=%d "
                                    "privateBit=%d errorProtection=%d copyrightBit=%d originalBit=%d",
                                    frequency, layer, mode, index, emphasis, 1 + (bits & 1), (bits >> 1) & 1,
                                    (bits >> 2) & 1, (bits >> 3) & 1, (bits >> 4) & 1));
                                EncoderSettings settings = original;
                                for (const auto& [name, member] : settingsFields)
                                    settings.*member = member == &EncoderSettings::audioType ? settings.*member : 99;
                                applyChangeState(settings, derivePageState(original), presets, recordingDefaults);
                                QCOMPARE(blockDifference(settings, original), QString());
                            }
    }
};

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
