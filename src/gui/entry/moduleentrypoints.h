#ifndef VELTRANO_MODULEENTRYPOINTS_H
#define VELTRANO_MODULEENTRYPOINTS_H

#include <veltrano/mpa_modules.h>

class DynamicModule;
class QCoreApplication;
class QLibrary;

// Process-wide records of the companion modules of one dialog run and their
// resolved entry points. Each is null until set; the dialog run loads them at
// its start and releases them at its end, so they are valid only during a
// call of showMPAEncoderPages. Not re-entrant.
namespace ModuleEntryPoints {
extern DynamicModule* configModule;
extern DynamicModule* encoderModule;
extern DynamicModule* importModule;
extern QLibrary* localizeLibrary;

extern MPAConfigGetAPIExtFunc mpaConfigGetAPIExt;
extern MpegOutAudioDefaultsFunc mpegOutAudioDefaults;
extern MpegOutAudioChkSettingsFunc mpegOutAudioChkSettings;
extern MpegInInfoInitFunc mpegInInfoInit;
extern MpegInGetInfoFunc mpegInGetInfo;
extern LocalizeConvertStrFunc localizeConvertStr;
extern LocalizeSetLanguageFunc localizeSetLanguage;
} // namespace ModuleEntryPoints

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
