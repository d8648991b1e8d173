#ifndef VL_MODEL_STATEMODEL_H
#define VL_MODEL_STATEMODEL_H

#include "audiotypes.h"
#include "configstate.h"

#include <veltrano/mpa_modules.h>

// Derives what the MPEG audio page shows from the settings: the ten items
// "Layer", "Mode", "Audio Frequency", "Bitrate", "Psych Model", "Emphasis",
// "Private", "Error Protection", "Copyright" and "Original", all enabled.
ConfigState derivePageState(const EncoderSettings& settings);

// Writes a change state into the settings. "Restore Preset" is applied alone:
// it sets the audio type of the named preset and loads that type's defaults
// through `defaults`. Otherwise each known item is parsed back into its code,
// and the four flag words are rewritten as exactly 0 or 1. Texts compare
// exactly with the translated table texts. The caller refreshes afterwards.
void applyChangeState(
    EncoderSettings& settings, const ConfigState& state, const PresetMap& presets, MpegOutAudioDefaultsFunc defaults);

#endif
