#ifndef VL_PLATFORM_WIN32NATIVEWINDOWS_H
#define VL_PLATFORM_WIN32NATIVEWINDOWS_H

#include "platform/nativewindows.h"

// Native window operations of the Windows user interface. A child window is
// owned through its parent chain and a disabled window takes no input, so
// every operation is one user-interface call.
class Win32NativeWindows final : public NativeWindows
{
public:
    void makeChildWindow(WId own) override;
    void reparent(WId own, WId host) override;
    void setEnabled(WId window, bool enabled) override;
    WId focusWindow() override;
    void setFocus(WId window) override;
    void activate(WId window) override;
    void raise(WId window) override;
    bool windowRect(WId window, Platform::WindowRect* rect) override;
    bool shiftHeld() override;
    bool isFocusIn(const QByteArray& eventType, void* message, WId own) override;
    void setOwner(QWindow* dialog, WId host) override;
};

#endif
