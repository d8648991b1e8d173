// The library's only export: one call is one modal dialog run.

#include "dialog/mpaencoderdlg.h"
#include "entry/dialogplacement.h"
#include "entry/moduleentrypoints.h"
#include "platform/platform.h"
#include "widgets/qwinwidget.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstring>
#include <memory>
#include <veltrano/mpa_dialog.h>

namespace {

// Releases what a run loaded, in order: localisation, encoder and import
// modules, settings-file module. Runs also when the run throws.
class RunTeardown
{
public:
    RunTeardown() = default;
    RunTeardown(const RunTeardown&) = delete;
    RunTeardown& operator=(const RunTeardown&) = delete;
    ~RunTeardown()
    {
        releaseLocalization();
        unloadEncoderModules();
        unloadConfigModule();
    }
};

// Makes the dialog the active window as soon as the modal run has shown it.
// A window that is not on screen yet cannot be activated: activateWindow()
// on it does nothing from Qt 6.5 on, where the older
// QApplication::setActiveWindow() is deprecated. The zero timer fires in
// exec()'s event loop, after exec() has shown the dialog, on every Qt.
void makeActiveWindow(QWidget* widget)
{
    QTimer::singleShot(0, widget, [widget] { widget->activateWindow(); });
}

int execDialog(QApplication* application, MPAEncoderDlg* dialog)
{
    QObject::connect(application, SIGNAL(lastWindowClosed()), application, SLOT(quit()));
    return dialog->exec();
}

// The host runs the toolkit and passed its application object.
int hostApplicationRun(EncoderSettings* settings, DialogParams* params)
{
    auto* const application = reinterpret_cast<QApplication*>(static_cast<uintptr_t>(params->parent));
    // Without an application object there is nothing to show; this counts
    // as an accepted run.
    if (!application)
        return 1;

    loadLocalization(application);
    QWidget* const parent = QApplication::activeWindow();
    auto dialog = std::make_unique<MPAEncoderDlg>(settings, params, parent);
    if (!parent)
        makeActiveWindow(dialog.get());
    return execDialog(application, dialog.get());
}

// Adopts the host's native window for the run. Null, with a debug message,
// when the window system has no native windows (offscreen, Wayland) or no
// such window: the dialog then runs as a window of its own.
std::unique_ptr<QWinWidget> adoptHostWindow(uint64_t windowHandle)
{
    Platform::WindowRect rect;
    if (!Platform::hostWindowRect(windowHandle, &rect)) {
        qDebug("host window 0x%llx not adopted: no such native window on the %s platform",
            static_cast<unsigned long long>(windowHandle), qPrintable(QGuiApplication::platformName()));
        return nullptr;
    }
    auto host = std::make_unique<QWinWidget>(static_cast<WId>(windowHandle));
    if (const QScreen* const screen = QGuiApplication::primaryScreen())
        host->setGeometry(screen->virtualGeometry());
    return host;
}

void centreOverHostWindow(QWidget* dialog, const QWinWidget& host)
{
    Platform::WindowRect rect;
    if (!Platform::hostWindowRect(host.hostWindowHandle(), &rect))
        return;
    // The widget spans the desktop: its geometry gives the bounds.
    dialog->move(centredPosition(rect, dialog->size(), host.geometry()));
}

// The library owns the toolkit for the duration of the call.
int standaloneRun(EncoderSettings* settings, DialogParams* params)
{
    // Qt keeps a reference to the argument count for the application's life.
    int argc = 0;
    char* argv[] = { nullptr };
    QApplication application(argc, argv);
    loadLocalization(&application);

    // The dialog's parent; declared first so that it is deleted last.
    const std::unique_ptr<QWinWidget> host = params->parent ? adoptHostWindow(params->parent) : nullptr;
    auto dialog = std::make_unique<MPAEncoderDlg>(settings, params, host.get());
    if (host)
        centreOverHostWindow(dialog.get(), *host);

    makeActiveWindow(dialog.get());
    const int result = execDialog(&application, dialog.get());
    dialog.reset();
    return result;
}

int32_t showPages(EncoderSettings* settings, uint32_t flags, intptr_t param)
{
    if (!settings)
        return VL_DIALOG_FAILED;
    if (!loadConfigModule())
        return VL_DIALOG_FAILED;
    loadEncoderModules();

    DialogParams local;
    std::memset(&local, 0, sizeof local);
    DialogParams* params = &local;
    if (flags & VL_FLAG_PARAMS_RECORD) {
        params = reinterpret_cast<DialogParams*>(param);
        if (!params)
            return VL_DIALOG_FAILED;
    } else {
        local.parent = static_cast<uint64_t>(param);
    }
    params->flags = flags;

    const RunTeardown teardown;
    const int result
        = (flags & VL_FLAG_HOST_APPLICATION) ? hostApplicationRun(settings, params) : standaloneRun(settings, params);
    return result == 1 ? VL_DIALOG_ACCEPTED : VL_DIALOG_REJECTED;
}

} // namespace

extern "C" VL_EXPORT int32_t showMPAEncoderPages(EncoderSettings* settings, uint32_t flags, intptr_t param)
{
    // Nothing may unwind into the host.
    try {
        return showPages(settings, flags, param);
    } catch (...) {
        return VL_DIALOG_FAILED;
    }
}
