#ifndef VL_ENTRY_MODULEENTRYPOINTS_H
#define VL_ENTRY_MODULEENTRYPOINTS_H

#include "platform/dynamicmodule.h"

#include <QLibrary>
#include <memory>
#include <veltrano/mpa_modules.h>

class QCoreApplication;

// Process-wide records of the companion modules of one dialog run and their
// resolved entry points. Each is null until set; the dialog run loads them at
// its start and releases them at its end, so they are valid only during a
// call of showMPAEncoderPages. Not re-entrant.
namespace ModuleEntryPoints {
extern std::unique_ptr<DynamicModule> configModule;
extern std::unique_ptr<DynamicModule> encoderModule;
extern std::unique_ptr<DynamicModule> importModule;
extern std::unique_ptr<QLibrary> localizeLibrary;

extern MPAConfigGetAPIExtFunc mpaConfigGetAPIExt;
extern MpegOutAudioDefaultsFunc mpegOutAudioDefaults;
extern MpegOutAudioChkSettingsFunc mpegOutAudioChkSettings;
extern MpegInInfoInitFunc mpegInInfoInit;
extern MpegInGetInfoFunc mpegInGetInfo;
extern LocalizeConvertStrFunc localizeConvertStr;
extern LocalizeSetLanguageFunc localizeSetLanguage;
} // namespace ModuleEntryPoints

// Built-in replacements for the encoder module's entry points, used when the
// module or either of its two entry points is missing.
namespace BuiltinEncoder {
// Zeroes the encoder settings record (bytes 0-4095); the audio type is
// ignored and the host's context half is left alone. Returns 0.
int32_t audioDefaults(EncoderSettings* settings, int32_t audioType);
// Accepts every setting: returns 0.
int32_t audioChkSettings(EncoderCallbacks* callbacks, const EncoderSettings* settings, int32_t audioType,
    int32_t sampleFrequency, int32_t reserved, void* reservedPointer);
} // namespace BuiltinEncoder

// Loads the settings-file module and resolves MPAConfigGetAPIExt; false when
// either fails. A record left from an earlier call is released first.
bool loadConfigModule();
// Loads the encoder and import modules; missing encoder entry points are
// replaced by built-in fallbacks. Always returns 0.
int loadEncoderModules();
// Installs the translation for the user's language and loads the
// localisation module found beside it. The argument is not used.
void loadLocalization(QCoreApplication* application);
// Deletes the localisation library object and forgets it.
void releaseLocalization();
void unloadEncoderModules();
void unloadConfigModule();

#endif
