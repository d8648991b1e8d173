#include "statemodel.h"

#include "valuetables.h"

namespace {

QString layerText(int32_t layer)
{
    return ValueTables::layerNames().at(layer == 1 ? 0 : 1);
}

QString modeText(int32_t mode)
{
    const bool known = mode >= 1 && mode <= 3;
    return ValueTables::modeNames().at(known ? mode : 0);
}

QString psychModelText(int32_t psychModel)
{
    return ValueTables::psychModelNames().at(psychModel == 1 ? 0 : 1);
}

QString emphasisText(int32_t emphasis)
{
    // Code 3 sits at position 2; the reserved code 2 shows as "Off".
    const QStringList& names = ValueTables::emphasisNames();
    if (emphasis == 1)
        return names.at(1);
    if (emphasis == 3)
        return names.at(2);
    return names.at(0);
}

int32_t modeCode(const QString& text)
{
    const QStringList& names = ValueTables::modeNames();
    if (text == names.at(3))
        return 3;
    if (text == names.at(2))
        return 2;
    if (text == names.at(1))
        return 1;
    return 0;
}

int32_t emphasisCode(const QString& text)
{
    const QStringList& names = ValueTables::emphasisNames();
    if (text == names.at(0))
        return 0;
    if (text == names.at(1))
        return 1;
    if (text == names.at(2))
        return 3;
    return 0;
}

// A flag word keeps its meaning (non-zero is set) but is always stored as
// exactly 0 or 1.
void applyFlag(int32_t& field, const ConfigState& state, const QString& name)
{
    const auto item = state.constFind(name);
    const QVariant value = item != state.cend() ? item->value : QVariant(int(field));
    field = value.toBool() ? 1 : 0;
}

} // namespace

ConfigState derivePageState(const EncoderSettings& settings)
{
    const char* const* bitrates = ValueTables::bitrateTable(settings.sampleFrequency, settings.layer == 1);

    ConfigState state;
    state.insert(ItemName::Layer, ConfigItem(layerText(settings.layer), true));
    state.insert(ItemName::Mode, ConfigItem(modeText(settings.mode), true));
    state.insert(ItemName::AudioFrequency, ConfigItem(int(settings.sampleFrequency), true));
    state.insert(ItemName::Bitrate, ConfigItem(ValueTables::bitrateText(bitrates, settings.bitrateIndex), true));
    state.insert(ItemName::PsychModel, ConfigItem(psychModelText(settings.psychModel), true));
    state.insert(ItemName::Emphasis, ConfigItem(emphasisText(settings.emphasis), true));
    state.insert(ItemName::Private, ConfigItem(int(settings.privateBit), true));
    state.insert(ItemName::ErrorProtection, ConfigItem(int(settings.errorProtection), true));
    state.insert(ItemName::Copyright, ConfigItem(int(settings.copyrightBit), true));
    state.insert(ItemName::Original, ConfigItem(int(settings.originalBit), true));
    return state;
}

void applyChangeState(
    EncoderSettings& settings, const ConfigState& state, const PresetMap& presets, MpegOutAudioDefaultsFunc defaults)
{
    const auto restore = state.constFind(ItemName::RestorePreset);
    if (restore != state.cend()) {
        settings.audioType = presets.value(restore->value.toString());
        // The result is not reported: the check that follows judges what
        // the defaults wrote.
        if (defaults)
            defaults(&settings, settings.audioType);
        return;
    }

    if (state.contains(ItemName::AudioType))
        settings.audioType = presets.value(state.value(ItemName::AudioType).value.toString());

    if (state.contains(ItemName::Layer))
        settings.layer = state.value(ItemName::Layer).value.toString() == ValueTables::layerNames().at(0) ? 1 : 2;

    if (state.contains(ItemName::Mode))
        settings.mode = modeCode(state.value(ItemName::Mode).value.toString());

    if (state.contains(ItemName::AudioFrequency))
        settings.sampleFrequency = state.value(ItemName::AudioFrequency).value.toInt();

    if (state.contains(ItemName::Bitrate)) {
        // Looked up in the table of the layer and version now in force; a
        // text that this table lacks keeps the index.
        const char* const* bitrates = ValueTables::bitrateTable(settings.sampleFrequency, settings.layer == 1);
        const int32_t index = ValueTables::bitrateIndexOf(bitrates, state.value(ItemName::Bitrate).value.toString());
        if (index > 0)
            settings.bitrateIndex = index;
    }

    if (state.contains(ItemName::PsychModel))
        settings.psychModel
            = state.value(ItemName::PsychModel).value.toString() == ValueTables::psychModelNames().at(0) ? 1 : 2;

    if (state.contains(ItemName::Emphasis))
        settings.emphasis = emphasisCode(state.value(ItemName::Emphasis).value.toString());

    applyFlag(settings.privateBit, state, ItemName::Private);
    applyFlag(settings.errorProtection, state, ItemName::ErrorProtection);
    applyFlag(settings.copyrightBit, state, ItemName::Copyright);
    applyFlag(settings.originalBit, state, ItemName::Original);
}
