#ifndef VL_PLATFORM_NATIVEWINDOWS_H
#define VL_PLATFORM_NATIVEWINDOWS_H

#include "platform/platform.h"

#include <QtGui/qwindowdefs.h>
#include <memory>

class QByteArray;
class QWindow;

// The window system operations that adopting a foreign host window needs,
// and nothing else: everything above them is toolkit logic. Handles are the
// window system's own (HWND on Windows, X11 window ids under X11). No
// operation reports its failure except where it returns a result; a window
// that does not exist is ignored, never a crash.
class NativeWindows
{
public:
    virtual ~NativeWindows() = default;

    // The operations of the window system the application runs on; null
    // where the toolkit has no native windows to adopt (offscreen, Wayland).
    // Needs the application object.
    static std::unique_ptr<NativeWindows> create();

    // Gives `own` the style of a child window that clips its children and
    // siblings.
    virtual void makeChildWindow(WId own) = 0;
    // Makes `own` a child window of `host`.
    virtual void reparent(WId own, WId host) = 0;
    // Lets `window` take user input again, or stops it from taking any.
    virtual void setEnabled(WId window, bool enabled) = 0;
    // The window that has the keyboard focus; 0 when there is none.
    virtual WId focusWindow() = 0;
    virtual void setFocus(WId window) = 0;
    // Makes `window` (its top-level window) the active one.
    virtual void activate(WId window) = 0;
    // Brings `window` to the top of the stacking order (its top-level
    // window where the window system stacks only those).
    virtual void raise(WId window) = 0;
    // The window's rectangle in screen coordinates, its frame included;
    // false when the window does not exist.
    virtual bool windowRect(WId window, Platform::WindowRect* rect) = 0;
    // True while a Shift key is held down.
    virtual bool shiftHeld() = 0;
    // True when the toolkit's native event (type and message as the
    // toolkit's native event hook gets them) says that `own` received the
    // keyboard focus.
    virtual bool isFocusIn(const QByteArray& eventType, void* message, WId own) = 0;
    // Makes the top-level toolkit window `dialog` owned by `host`, so that it
    // stays above it; where ownership follows from the parent chain of
    // native windows this does nothing.
    virtual void setOwner(QWindow* dialog, WId host) = 0;
};

#endif
