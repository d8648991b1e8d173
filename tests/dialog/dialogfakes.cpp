#include "dialogfakes.h"

#include "entry/moduleentrypoints.h"

namespace Fake {

State& state()
{
    static State current;
    return current;
}

namespace {

int32_t check(EncoderCallbacks* callbacks, const EncoderSettings* /*settings*/, int32_t audioType,
    int32_t sampleFrequency, int32_t reserved, void* reservedPointer)
{
    State& s = state();
    ++s.checkCalls;
    s.checkCallbacks = callbacks;
    s.checkedAudioType = audioType;
    s.checkedFrequency = sampleFrequency;
    s.checkedReserved = reserved;
    s.checkedReservedPointer = reservedPointer;
    using Printf = void (*)(void*, const char*, ...);
    const Printf printfs[] = { callbacks->infoPrintf, callbacks->warningPrintf, callbacks->errorPrintf };
    for (const auto& [level, text] : s.checkReports)
        printfs[level](callbacks->context, "%s", text.constData());
    return s.checkResult;
}

int32_t defaults(EncoderSettings* settings, int32_t audioType)
{
    state().defaultsCalls.append(audioType);
    settings->layer = 1;
    return 0;
}

int32_t load(EncoderSettings* settings, const char* path)
{
    state().loadPaths.append(QByteArray(path));
    settings->audioType = VL_AUDIO_MPEG2_DVD;
    return state().loadResult;
}

int32_t save(EncoderSettings* /*settings*/, const char* path)
{
    state().savePaths.append(QByteArray(path));
    return 0;
}

MPAConfigFileFunc getApi(int32_t id)
{
    if (id == VL_CONFIG_API_LOAD && state().loadAvailable)
        return &load;
    if (id == VL_CONFIG_API_SAVE && state().saveAvailable)
        return &save;
    return nullptr;
}

} // namespace

FakeModules::FakeModules()
    : savedGetApi(ModuleEntryPoints::mpaConfigGetAPIExt)
    , savedDefaults(ModuleEntryPoints::mpegOutAudioDefaults)
    , savedCheck(ModuleEntryPoints::mpegOutAudioChkSettings)
{
    state() = State();
    ModuleEntryPoints::mpaConfigGetAPIExt = &getApi;
    ModuleEntryPoints::mpegOutAudioDefaults = &defaults;
    ModuleEntryPoints::mpegOutAudioChkSettings = &check;
}

FakeModules::~FakeModules()
{
    ModuleEntryPoints::mpaConfigGetAPIExt = savedGetApi;
    ModuleEntryPoints::mpegOutAudioDefaults = savedDefaults;
    ModuleEntryPoints::mpegOutAudioChkSettings = savedCheck;
}

} // namespace Fake
