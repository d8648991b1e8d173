#include "win32windows.h"

#include <windows.h>

namespace Platform::Win32 {

namespace {
HWND toHandle(uintptr_t window)
{
    return reinterpret_cast<HWND>(window);
}
} // namespace

void makeChildWindow(uintptr_t own)
{
    SetWindowLongA(toHandle(own), GWL_STYLE, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
}

void reparent(uintptr_t own, uintptr_t host)
{
    SetParent(toHandle(own), toHandle(host));
}

void setEnabled(uintptr_t window, bool enabled)
{
    EnableWindow(toHandle(window), enabled ? TRUE : FALSE);
}

uintptr_t focusWindow()
{
    return reinterpret_cast<uintptr_t>(GetFocus());
}

void setFocus(uintptr_t window)
{
    SetFocus(toHandle(window));
}

void activate(uintptr_t window)
{
    SetActiveWindow(toHandle(window));
}

void raise(uintptr_t window)
{
    BringWindowToTop(toHandle(window));
}

bool windowRect(uintptr_t window, WindowRect* rect)
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

bool shiftHeld()
{
    // The high bit, that is a negative state, means the key is down.
    return GetKeyState(VK_SHIFT) < 0;
}

bool isFocusIn(const void* message, uintptr_t own)
{
    const auto* const msg = static_cast<const MSG*>(message);
    return msg && msg->message == WM_SETFOCUS && msg->hwnd == toHandle(own);
}

} // namespace Platform::Win32
