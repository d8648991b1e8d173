#ifndef VL_WIDGETS_FAKENATIVEWINDOWS_H
#define VL_WIDGETS_FAKENATIVEWINDOWS_H

#include "platform/nativewindows.h"

#include <QByteArray>
#include <QStringList>

// Records the native window operations as "operation window" lines in a log
// the test owns; plays a window system in which `focused` has the keyboard
// focus and Shift is held while `shift` is set. A native event of the type
// "focus-in" is a focus-in on any window.
class FakeNativeWindows : public NativeWindows
{
public:
    explicit FakeNativeWindows(QStringList* log)
        : log(log)
    {
    }

    void makeChildWindow(WId own) override { record("child", own); }
    void reparent(WId /*own*/, WId host) override { record("reparent", host); }
    void setEnabled(WId window, bool enabled) override { record(enabled ? "enable" : "disable", window); }
    WId focusWindow() override { return focused; }
    void setFocus(WId window) override { record("focus", window); }
    void activate(WId window) override { record("activate", window); }
    void raise(WId window) override { record("raise", window); }
    bool windowRect(WId /*window*/, Platform::WindowRect* /*rect*/) override { return false; }
    bool shiftHeld() override { return shift; }
    bool isFocusIn(const QByteArray& eventType, void* /*message*/, WId /*own*/) override
    {
        return eventType == "focus-in";
    }
    void setOwner(QWindow* /*dialog*/, WId host) override { record("owner", host); }

    WId focused = 0;
    bool shift = false;

private:
    void record(const char* operation, WId window) { log->append(QStringLiteral("%1 %2").arg(operation).arg(window)); }

    QStringList* log;
};

#endif
