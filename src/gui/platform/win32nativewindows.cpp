#include "win32nativewindows.h"

#include <QByteArray>
#include <windows.h>

namespace {
// A child window that clips its children and siblings
// (WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN).
constexpr LONG childWindowStyle = 0x46000000;

HWND toHandle(WId window)
{
    return reinterpret_cast<HWND>(window);
}
} // namespace

void Win32NativeWindows::makeChildWindow(WId own)
{
    SetWindowLongA(toHandle(own), GWL_STYLE, childWindowStyle);
}

void Win32NativeWindows::reparent(WId own, WId host)
{
    SetParent(toHandle(own), toHandle(host));
}

void Win32NativeWindows::setEnabled(WId window, bool enabled)
{
    EnableWindow(toHandle(window), enabled ? TRUE : FALSE);
}

WId Win32NativeWindows::focusWindow()
{
    return reinterpret_cast<WId>(GetFocus());
}

void Win32NativeWindows::setFocus(WId window)
{
    SetFocus(toHandle(window));
}

void Win32NativeWindows::activate(WId window)
{
    SetActiveWindow(toHandle(window));
}

void Win32NativeWindows::raise(WId window)
{
    BringWindowToTop(toHandle(window));
}

bool Win32NativeWindows::windowRect(WId window, Platform::WindowRect* rect)
{
    RECT bounds;
    if (!window || !rect || !GetWindowRect(toHandle(window), &bounds))
        return false;
    rect->left = bounds.left;
    rect->top = bounds.top;
    rect->right = bounds.right;
    rect->bottom = bounds.bottom;
    return true;
}

bool Win32NativeWindows::shiftHeld()
{
    // The high bit, that is a negative state, means the key is down.
    return GetKeyState(VK_SHIFT) < 0;
}

bool Win32NativeWindows::isFocusIn(const QByteArray& eventType, void* message, WId own)
{
    if (!message || eventType != "windows_generic_MSG")
        return false;
    const MSG* const msg = static_cast<const MSG*>(message);
    return msg->message == WM_SETFOCUS && msg->hwnd == toHandle(own);
}

void Win32NativeWindows::setOwner(QWindow* /*dialog*/, WId /*host*/)
{
    // A top-level window whose parent window is a child of the host is owned
    // by the host's top-level window already.
}
