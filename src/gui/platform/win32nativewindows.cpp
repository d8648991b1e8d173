#include "win32nativewindows.h"

#include "platform/win32windows.h"

#include <QByteArray>

// Each operation is the one Windows user-interface call in Platform::Win32.

void Win32NativeWindows::makeChildWindow(WId own)
{
    Platform::Win32::makeChildWindow(own);
}

void Win32NativeWindows::reparent(WId own, WId host)
{
    Platform::Win32::reparent(own, host);
}

void Win32NativeWindows::setEnabled(WId window, bool enabled)
{
    Platform::Win32::setEnabled(window, enabled);
}

WId Win32NativeWindows::focusWindow()
{
    return Platform::Win32::focusWindow();
}

void Win32NativeWindows::setFocus(WId window)
{
    Platform::Win32::setFocus(window);
}

void Win32NativeWindows::activate(WId window)
{
    Platform::Win32::activate(window);
}

void Win32NativeWindows::raise(WId window)
{
    Platform::Win32::raise(window);
}

bool Win32NativeWindows::windowRect(WId window, Platform::WindowRect* rect)
{
    return Platform::Win32::windowRect(window, rect);
}

bool Win32NativeWindows::shiftHeld()
{
    return Platform::Win32::shiftHeld();
}

bool Win32NativeWindows::isFocusIn(const QByteArray& eventType, void* message, WId own)
{
    // A widget's native event hook gets window messages under this type.
    return eventType == "windows_generic_MSG" && Platform::Win32::isFocusIn(message, own);
}

void Win32NativeWindows::setOwner(QWindow* /*dialog*/, WId /*host*/)
{
    // A top-level window whose parent window is a child of the host is owned
    // by the host's top-level window already.
}
