#ifndef VL_MODEL_AUDIOTYPES_H
#define VL_MODEL_AUDIOTYPES_H

#include <QMap>
#include <QString>
#include <array>
#include <cstdint>

// An audio type (preset): a target format for which the encoder module knows
// defaults and rules. The name is the untranslated source text; the dialog
// translates it in context "MPAEncoderDlg".
struct AudioTypeSource
{
    const char* name;
    int32_t id;
};

// The twenty audio types in the order in which the dialog inserts them.
const std::array<AudioTypeSource, 20>& audioTypeSources();

// Maps an id that no preset carries to a preset id; a few results are
// themselves ids without a preset, which a second call resolves.
int32_t normalizeAudioType(int32_t id);

// Translated audio-type name -> id, ordered by name; the order of the preset
// list.
using PresetMap = QMap<QString, int32_t>;

// The first name in map order whose id equals `id`, or an empty string.
QString presetName(const PresetMap& presets, int32_t id);

#endif
