#ifndef VL_DIALOG_DIALOGFAKES_H
#define VL_DIALOG_DIALOGFAKES_H

#include "dialog/mpaencoderdlg.h"
#include "entry/moduleentrypoints.h"

#include <QByteArrayList>
#include <QList>
#include <veltrano/mpa_modules.h>

// In-test companion modules: for its lifetime the dialog reaches them through
// the process-wide entry points, and the test steers and watches them here.
struct FakeModules
{
    // The settings check counts its calls, records its arguments (audio type,
    // frequency, reserved word and pointer), reports `reports` (level letter
    // 'e', 'w' or 'i', then the text) and returns checkResult.
    int checkCalls = 0;
    int32_t checkResult = 0;
    QByteArrayList reports;
    const EncoderCallbacks* checkCallbacks = nullptr;
    QList<intptr_t> checkArguments;
    // The defaults record the audio type and write layer 1.
    QList<int32_t> defaultsCalls;
    // The settings-file functions record the paths; a load writes audio type
    // 4 (MPEG-2 DVD) even when it fails, as a partial load may.
    bool loadAvailable = true;
    bool saveAvailable = true;
    int32_t loadResult = 0;
    QByteArrayList loadPaths;
    QByteArrayList savePaths;

    static inline FakeModules* current = nullptr;

    FakeModules()
    {
        using namespace ModuleEntryPoints;
        current = this;
        mpegOutAudioChkSettings = [](EncoderCallbacks* callbacks, const EncoderSettings*, int32_t audioType,
                                      int32_t frequency, int32_t reserved, void* pointer) {
            ++current->checkCalls;
            current->checkCallbacks = callbacks;
            current->checkArguments = { audioType, frequency, reserved, reinterpret_cast<intptr_t>(pointer) };
            for (const QByteArray& report : current->reports) {
                const char level = report.at(0);
                (level == 'e'          ? callbacks->errorPrintf
                        : level == 'w' ? callbacks->warningPrintf
                                       : callbacks->infoPrintf)(callbacks->context, "%s", report.mid(1).constData());
            }
            return current->checkResult;
        };
        mpegOutAudioDefaults = [](EncoderSettings* settings, int32_t audioType) {
            current->defaultsCalls.append(audioType);
            settings->layer = 1;
            return 0;
        };
        mpaConfigGetAPIExt = [](int32_t id) -> MPAConfigFileFunc {
            if (id == VL_CONFIG_API_LOAD && current->loadAvailable) {
                return [](EncoderSettings* settings, const char* path) {
                    current->loadPaths.append(path);
                    settings->audioType = VL_AUDIO_MPEG2_DVD;
                    return current->loadResult;
                };
            }
            if (id != VL_CONFIG_API_SAVE || !current->saveAvailable)
                return nullptr;
            return [](EncoderSettings*, const char* path) {
                current->savePaths.append(path);
                return 0;
            };
        };
    }
    ~FakeModules()
    {
        ModuleEntryPoints::mpaConfigGetAPIExt = nullptr;
        ModuleEntryPoints::mpegOutAudioDefaults = nullptr;
        ModuleEntryPoints::mpegOutAudioChkSettings = nullptr;
    }
    FakeModules(const FakeModules&) = delete;
    FakeModules& operator=(const FakeModules&) = delete;
};

// Gives the tests the dialog's working state.
class TestableDialog : public MPAEncoderDlg
{
public:
    TestableDialog(EncoderSettings* settings, uint32_t flags, const char* banner = nullptr)
        : MPAEncoderDlg(settings, &params(flags, banner))
    {
    }
    using MPAEncoderDlg::basicSettingsPage;
    using MPAEncoderDlg::lastLoadDir;
    using MPAEncoderDlg::lastSaveDir;
    using MPAEncoderDlg::presets;
    using MPAEncoderDlg::settings;

private:
    static const DialogParams& params(uint32_t flags, const char* banner)
    {
        static DialogParams record;
        record = DialogParams {};
        record.flags = flags;
        record.banner = banner;
        return record;
    }
};

// The dialog's child of type T named `name`; ends the test run when missing.
template<typename T>
T* child(const QWidget& dialog, const char* name)
{
    T* const widget = dialog.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

#endif
