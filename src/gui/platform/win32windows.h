#ifndef VL_PLATFORM_WIN32WINDOWS_H
#define VL_PLATFORM_WIN32WINDOWS_H

#include "platform/platform.h"

#include <cstdint>

// The Windows user-interface calls behind the adoption of a foreign host
// window, one call each and free of the toolkit, so that they are used and
// tested on real windows alone. Windows are HWNDs passed as integers. The
// calls' results are not checked: a window that does not exist is ignored by
// the window system.
namespace Platform::Win32 {

// Gives own the style of a child window that clips its children and
// siblings (WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN).
void makeChildWindow(uintptr_t own);
// Makes own a child window of host.
void reparent(uintptr_t own, uintptr_t host);
// Lets window take user input again, or stops it from taking any.
void setEnabled(uintptr_t window, bool enabled);
// The window of this thread's input that has the keyboard focus; 0 when
// there is none.
uintptr_t focusWindow();
void setFocus(uintptr_t window);
// Makes window the active window of this thread's input.
void activate(uintptr_t window);
// Brings window to the top of the stacking order.
void raise(uintptr_t window);
// The window's rectangle in screen coordinates, its frame included; false
// when the handle is null or no such window exists.
bool windowRect(uintptr_t window, WindowRect* rect);
// True while a Shift key is held down, as this thread's input last saw it.
bool shiftHeld();
// True when message, a window message (MSG), says that own received the
// keyboard focus.
bool isFocusIn(const void* message, uintptr_t own);

} // namespace Platform::Win32

#endif
