#include "statemodel.h"

#include "valuetables.h"

namespace {

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
    state.insert(ItemName::Layer, ConfigItem(ValueTables::layerText(settings.layer), true));
    state.insert(ItemName::Mode, ConfigItem(ValueTables::modeText(settings.mode), true));
    state.insert(ItemName::AudioFrequency, ConfigItem(int(settings.sampleFrequency), true));
    state.insert(ItemName::Bitrate, ConfigItem(ValueTables::bitrateText(bitrates, settings.bitrateIndex), true));
    state.insert(ItemName::PsychModel, ConfigItem(ValueTables::psychModelText(settings.psychModel), true));
    state.insert(ItemName::Emphasis, ConfigItem(ValueTables::emphasisText(settings.emphasis), true));
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
        settings.layer = ValueTables::layerCode(state.value(ItemName::Layer).value.toString());

    if (state.contains(ItemName::Mode))
        settings.mode = ValueTables::modeCode(state.value(ItemName::Mode).value.toString());

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
        settings.psychModel = ValueTables::psychModelCode(state.value(ItemName::PsychModel).value.toString());

    if (state.contains(ItemName::Emphasis))
        settings.emphasis = ValueTables::emphasisCode(state.value(ItemName::Emphasis).value.toString());

    applyFlag(settings.privateBit, state, ItemName::Private);
    applyFlag(settings.errorProtection, state, ItemName::ErrorProtection);
    applyFlag(settings.copyrightBit, state, ItemName::Copyright);
    applyFlag(settings.originalBit, state, ItemName::Original);
}
