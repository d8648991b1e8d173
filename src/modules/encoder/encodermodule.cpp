// The entry points of vl_enc_mpa: defaults per audio type and the settings
// check. No exception may leave them, since the caller is C.
#include "audiotyperules.h"
#include "localizationmodule.h"
#include "settingschecker.h"

#include <exception>
#include <veltrano/mpa_modules.h>

extern "C" {

int32_t mpegOutAudioDefaults(EncoderSettings* settings, int32_t audioType)
{
    if (!settings)
        return 1;
    vl::encoder::applyDefaults(*settings, audioType);
    return 0;
}

// The last two arguments are reserved: the dialog passes 0 and null.
// Reports come in the language set in the localisation module, when the
// process has loaded that module.
int32_t mpegOutAudioChkSettings(EncoderCallbacks* callbacks, const EncoderSettings* settings, int32_t audioType,
    int32_t sampleFrequency, int32_t, void*)
{
    try {
        const vl::encoder::LocalizationModule localization;
        return vl::encoder::SettingsChecker(callbacks, localization.convertFunction())
            .check(settings, audioType, sampleFrequency);
    } catch (const std::exception&) {
        return 1; // out of memory while formatting the summary
    }
}

} // extern "C"
