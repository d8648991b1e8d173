#include "moduleentrypoints.h"

#include "platform/librarydirectory.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <QString>
#include <QTranslator>
#include <cstring>

namespace ModuleEntryPoints {
std::unique_ptr<DynamicModule> configModule;
std::unique_ptr<DynamicModule> encoderModule;
std::unique_ptr<DynamicModule> importModule;
std::unique_ptr<QLibrary> localizeLibrary;

MPAConfigGetAPIExtFunc mpaConfigGetAPIExt = nullptr;
MpegOutAudioDefaultsFunc mpegOutAudioDefaults = nullptr;
MpegOutAudioChkSettingsFunc mpegOutAudioChkSettings = nullptr;
MpegInInfoInitFunc mpegInInfoInit = nullptr;
MpegInGetInfoFunc mpegInGetInfo = nullptr;
LocalizeConvertStrFunc localizeConvertStr = nullptr;
LocalizeSetLanguageFunc localizeSetLanguage = nullptr;
} // namespace ModuleEntryPoints

using namespace ModuleEntryPoints;

namespace BuiltinEncoder {
int32_t audioDefaults(EncoderSettings* settings, int32_t /*audioType*/)
{
    if (settings)
        std::memset(settings, 0, VL_SETTINGS_RECORD_SIZE);
    return 0;
}

int32_t audioChkSettings(EncoderCallbacks* /*callbacks*/, const EncoderSettings* /*settings*/, int32_t /*audioType*/,
    int32_t /*sampleFrequency*/, int32_t /*reserved*/, void* /*reservedPointer*/)
{
    return 0;
}
} // namespace BuiltinEncoder

namespace {
// The one process-wide translator; it has no parent and lives until the
// library is unloaded.
Q_GLOBAL_STATIC(QTranslator, processTranslator)

#ifdef _WIN32
const char localizeModuleFile[] = "/gui_mpa_localize.dll";
#else
const char localizeModuleFile[] = "/gui_mpa_localize.so";
#endif

template<typename Function>
Function resolveAs(DynamicModule& module, const char* symbol)
{
    return reinterpret_cast<Function>(module.resolve(symbol));
}

template<typename Function>
Function resolveAs(QLibrary& library, const char* symbol)
{
    return reinterpret_cast<Function>(library.resolve(symbol));
}

// Hosts read the debug output to tell which module the dialog runs with.
void reportModule(const char* name)
{
    const QString text = QStringLiteral("MPEG-1/2 Audio Encoder Dialog uses %1.dll").arg(QLatin1String(name));
    qDebug("%s", text.toUtf8().constData());
}

// Tries the names in order; returns the one that loaded, or null.
const char* loadFirst(DynamicModule& module, std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        if (module.load(name))
            return name;
    }
    return nullptr;
}

void release(std::unique_ptr<DynamicModule>& module)
{
    if (!module)
        return;
    module->unload();
    module->clear();
    module.reset();
}

// Where translation files are looked for, in order: the toolkit's library
// paths (the application's directory among them), then the directory of the
// dialog library, where an installed tree keeps them beside the modules.
QStringList translationDirectories()
{
    QStringList directories = QCoreApplication::libraryPaths();
    const QString own = Platform::libraryDirectory();
    if (!own.isEmpty() && !directories.contains(own))
        directories.append(own);
    return directories;
}

// Language code of the translation file for a primary language, or null.
const char* translationCode(uint16_t primary)
{
    switch (primary) {
    case Platform::LanguageGerman:
        return "de";
    case Platform::LanguageJapanese:
        return "jp";
    default:
        return nullptr;
    }
}
} // namespace

bool loadConfigModule()
{
    unloadConfigModule();
    configModule = std::make_unique<DynamicModule>();
    if (!configModule->load("vl_config_mpa"))
        return false;
    mpaConfigGetAPIExt = resolveAs<MPAConfigGetAPIExtFunc>(*configModule, "MPAConfigGetAPIExt");
    return mpaConfigGetAPIExt != nullptr;
}

int loadEncoderModules()
{
    unloadEncoderModules();

    encoderModule = std::make_unique<DynamicModule>();
    if (const char* const name = loadFirst(*encoderModule, { "vl_enc_mpa", "vl_mpgaout" })) {
        reportModule(name);
        mpegOutAudioDefaults = resolveAs<MpegOutAudioDefaultsFunc>(*encoderModule, "mpegOutAudioDefaults");
        mpegOutAudioChkSettings = resolveAs<MpegOutAudioChkSettingsFunc>(*encoderModule, "mpegOutAudioChkSettings");
    }
    // Half a module is no module: both entry points come from one place.
    if (!mpegOutAudioDefaults || !mpegOutAudioChkSettings) {
        mpegOutAudioDefaults = &BuiltinEncoder::audioDefaults;
        mpegOutAudioChkSettings = &BuiltinEncoder::audioChkSettings;
        qDebug("%s", "MPEG-1/2 Audio Encoder Dialog uses local functionality.\n");
    }

    importModule = std::make_unique<DynamicModule>();
    if (const char* const name = loadFirst(*importModule, { "vl_mfimport", "vl_mpegin" })) {
        reportModule(name);
        mpegInInfoInit = resolveAs<MpegInInfoInitFunc>(*importModule, "mpegInInfoInit");
        mpegInGetInfo = resolveAs<MpegInGetInfoFunc>(*importModule, "mpegInGetInfo");
    }
    return 0;
}

void loadLocalization(QCoreApplication* /*application*/)
{
    QTranslator* const translator = processTranslator();
    const uint16_t language = Platform::userDefaultLanguageId() & 0xff;
    const char* const code = translationCode(language);
    if (!code)
        return;

    const QString fileName = QStringLiteral("gui_mpa_") + QLatin1String(code);
    for (const QString& directory : translationDirectories()) {
        if (translator->load(fileName, directory)) {
            QCoreApplication::installTranslator(translator);
            localizeLibrary = std::make_unique<QLibrary>(directory + QLatin1String(localizeModuleFile));
            break;
        }
    }
    if (!localizeLibrary)
        return;

    localizeConvertStr = resolveAs<LocalizeConvertStrFunc>(*localizeLibrary, "localizeConvertStr");
    localizeSetLanguage = resolveAs<LocalizeSetLanguageFunc>(*localizeLibrary, "localizeSetLanguage");
    if (localizeSetLanguage)
        localizeSetLanguage(language);
}

void releaseLocalization()
{
    // The module itself stays loaded: a QLibrary does not unload on deletion.
    localizeLibrary.reset();
    localizeConvertStr = nullptr;
    localizeSetLanguage = nullptr;
}

void unloadEncoderModules()
{
    release(encoderModule);
    release(importModule);
    mpegOutAudioDefaults = nullptr;
    mpegOutAudioChkSettings = nullptr;
    mpegInInfoInit = nullptr;
    mpegInGetInfo = nullptr;
}

void unloadConfigModule()
{
    release(configModule);
    mpaConfigGetAPIExt = nullptr;
}
