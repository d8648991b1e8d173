#ifndef VL_DIALOG_DIALOGFAKES_H
#define VL_DIALOG_DIALOGFAKES_H

#include "dialog/mpaencoderdlg.h"

#include <QByteArrayList>
#include <QList>
#include <veltrano/mpa_modules.h>

// In-test companion modules: the dialog reaches them through the
// process-wide entry points, which FakeModules sets and restores.
namespace Fake {

struct State
{
    // settings check: counts calls, records its arguments, reports
    // checkReports at their levels and returns checkResult
    int checkCalls = 0;
    int32_t checkResult = 0;
    QList<QPair<MessageLevel, QByteArray>> checkReports;
    const EncoderCallbacks* checkCallbacks = nullptr;
    int32_t checkedAudioType = -1;
    int32_t checkedFrequency = -1;
    int32_t checkedReserved = -1;
    const void* checkedReservedPointer = reinterpret_cast<const void*>(1);

    // defaults: record the audio type and write layer 1
    QList<int32_t> defaultsCalls;

    // settings file: record the paths; a load writes audio type 4 (MPEG-2
    // DVD) even when it fails, as a partial load may
    bool loadAvailable = true;
    bool saveAvailable = true;
    int32_t loadResult = 0;
    QByteArrayList loadPaths;
    QByteArrayList savePaths;
};

State& state();

// Sets the entry points to the fakes for its lifetime and resets State.
class FakeModules
{
public:
    FakeModules();
    ~FakeModules();
    FakeModules(const FakeModules&) = delete;
    FakeModules& operator=(const FakeModules&) = delete;

private:
    MPAConfigGetAPIExtFunc savedGetApi;
    MpegOutAudioDefaultsFunc savedDefaults;
    MpegOutAudioChkSettingsFunc savedCheck;
};

} // namespace Fake

// Gives the tests the dialog's working state.
class TestableDialog : public MPAEncoderDlg
{
public:
    using MPAEncoderDlg::bannerPixmap;
    using MPAEncoderDlg::basicSettingsPage;
    using MPAEncoderDlg::lastLoadDir;
    using MPAEncoderDlg::lastSaveDir;
    using MPAEncoderDlg::MPAEncoderDlg;
    using MPAEncoderDlg::presets;
    using MPAEncoderDlg::settings;
};

inline DialogParams params(uint32_t flags, const char* title = nullptr, const char* banner = nullptr)
{
    DialogParams record {};
    record.flags = flags;
    record.title = title;
    record.banner = banner;
    return record;
}

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
