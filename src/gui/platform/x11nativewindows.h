#ifndef VL_PLATFORM_X11NATIVEWINDOWS_H
#define VL_PLATFORM_X11NATIVEWINDOWS_H

#include "platform/nativewindows.h"

#include <map>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

// Native window operations of an X11 display, sent on the toolkit's own
// connection. Every request whose target may have gone is checked, so an
// error about a window that does not exist (or no longer does) ends here
// instead of in the toolkit's error log.
//
// X11 knows no disabled window: a disabled window gets an input-only child
// above all its other children that swallows the pointer's and keyboard's
// events, and loses it when enabled again. Destroying this object enables
// every window it disabled.
class X11NativeWindows final : public NativeWindows
{
public:
    // Null unless the application runs on the toolkit's xcb platform.
    static std::unique_ptr<X11NativeWindows> open();

    explicit X11NativeWindows(xcb_connection_t* connection);
    ~X11NativeWindows() override;
    X11NativeWindows(const X11NativeWindows&) = delete;
    X11NativeWindows& operator=(const X11NativeWindows&) = delete;

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

private:
    // False when the request failed; the error is consumed.
    bool succeeded(xcb_void_cookie_t cookie);
    xcb_atom_t atom(const char* name);
    // The 32-bit items of a window property; empty when it is not set.
    std::vector<uint32_t> property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type);
    xcb_window_t rootOf(xcb_window_t window);
    // The client window a window manager manages for `window`: its highest
    // ancestor marked with WM_STATE, else the ancestor just below the root.
    xcb_window_t topLevel(xcb_window_t window);
    bool windowManagerSupports(xcb_window_t root, const char* hint);

    xcb_connection_t* connection;
    std::map<xcb_window_t, xcb_window_t> blockers; // disabled window -> its input-only child
    std::unique_ptr<QWindow> owner; // the toolkit's view of the last owner passed to setOwner
};

#endif
