#include "x11nativewindows.h"

#include <QByteArray>
#include <QDebug>
#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QtGui/qguiapplication_platform.h>
#else
#include <QX11Info>
#endif

namespace {
// xcb hands out replies and errors allocated with malloc.
struct FreeDeleter
{
    void operator()(void* pointer) const { std::free(pointer); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// Takes a reply and drops the error that came instead of it, if any.
template<typename T>
Reply<T> take(T* reply, xcb_generic_error_t* error)
{
    std::free(error);
    return Reply<T>(reply);
}

// The input a disabled window must not see.
constexpr uint32_t blockedEvents = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE | XCB_EVENT_MASK_BUTTON_PRESS
    | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_BUTTON_MOTION;
// The largest window size X11 allows; the parent clips its child to its own
// size, so the blocker covers the window however it is resized.
constexpr uint16_t largestSize = 0x7fff;
// Bounds the walk up the window tree.
constexpr int deepestAncestry = 64;

// X11 window ids have 29 bits; anything wider names no window.
xcb_window_t toWindow(WId id)
{
    return id <= std::numeric_limits<uint32_t>::max() ? static_cast<xcb_window_t>(id) : XCB_NONE;
}
} // namespace

std::unique_ptr<X11NativeWindows> X11NativeWindows::open()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const auto* const x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* const connection = x11 ? x11->connection() : nullptr;
#else
    xcb_connection_t* const connection = QX11Info::connection();
#endif
    if (!connection)
        return nullptr;
    return std::make_unique<X11NativeWindows>(connection);
}

X11NativeWindows::X11NativeWindows(xcb_connection_t* connection)
    : connection(connection)
{
}

X11NativeWindows::~X11NativeWindows()
{
    while (!blockers.empty())
        setEnabled(blockers.begin()->first, true);
}

void X11NativeWindows::makeChildWindow(WId own)
{
    // An X11 child window needs no style of its own. Override-redirect keeps
    // window managers away from it even while it is still a top-level.
    const uint32_t overrideRedirect = 1;
    succeeded(
        xcb_change_window_attributes_checked(connection, toWindow(own), XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect));
}

void X11NativeWindows::reparent(WId own, WId host)
{
    if (!succeeded(xcb_reparent_window_checked(connection, toWindow(own), toWindow(host), 0, 0)))
        qDebug("host window 0x%llx: cannot make it the parent of 0x%llx", static_cast<unsigned long long>(host),
            static_cast<unsigned long long>(own));
}

void X11NativeWindows::setEnabled(WId window, bool enabled)
{
    const xcb_window_t target = toWindow(window);
    const auto blocker = blockers.find(target);
    if (enabled) {
        if (blocker == blockers.end())
            return;
        // Gone already when the window it covered was destroyed.
        succeeded(xcb_destroy_window_checked(connection, blocker->second));
        blockers.erase(blocker);
        return;
    }
    if (blocker != blockers.end())
        return;
    // A new window starts at the top of its siblings' stacking order, so
    // it lies over every control of the window it covers. Events that reach
    // it go no further up the tree.
    const xcb_window_t cover = xcb_generate_id(connection);
    const uint32_t values[] = { 1, blockedEvents }; // override-redirect, do-not-propagate mask
    if (!succeeded(xcb_create_window_checked(connection, XCB_COPY_FROM_PARENT, cover, target, 0, 0, largestSize,
            largestSize, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
            XCB_CW_OVERRIDE_REDIRECT | XCB_CW_DONT_PROPAGATE, values)))
        return;
    blockers.emplace(target, cover);
    succeeded(xcb_map_window_checked(connection, cover));
}

WId X11NativeWindows::focusWindow()
{
    xcb_generic_error_t* error = nullptr;
    const auto focus = take(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), &error), error);
    if (!focus || focus->focus == XCB_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT)
        return 0;
    return focus->focus;
}

void X11NativeWindows::setFocus(WId window)
{
    // Fails harmlessly when the window is gone or not viewable.
    succeeded(xcb_set_input_focus_checked(connection, XCB_INPUT_FOCUS_PARENT, toWindow(window), XCB_CURRENT_TIME));
}

void X11NativeWindows::activate(WId window)
{
    const xcb_window_t target = topLevel(toWindow(window));
    const xcb_window_t root = rootOf(target);
    if (!windowManagerSupports(root, "_NET_ACTIVE_WINDOW")) {
        setFocus(target);
        return;
    }
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = target;
    message.type = atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 1; // the request comes from an application
    message.data.data32[1] = XCB_CURRENT_TIME;
    succeeded(xcb_send_event_checked(connection, 0, root,
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char*>(&message)));
}

void X11NativeWindows::raise(WId window)
{
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    succeeded(
        xcb_configure_window_checked(connection, topLevel(toWindow(window)), XCB_CONFIG_WINDOW_STACK_MODE, &above));
}

bool X11NativeWindows::windowRect(WId window, Platform::WindowRect* rect)
{
    const xcb_window_t target = toWindow(window);
    xcb_generic_error_t* error = nullptr;
    const auto geometry = take(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, target), &error), error);
    if (!geometry || !rect)
        return false;
    const auto origin = take(xcb_translate_coordinates_reply(connection,
                                 xcb_translate_coordinates(connection, target, geometry->root, 0, 0), &error),
        error);
    if (!origin)
        return false;
    const int32_t border = geometry->border_width;
    rect->left = origin->dst_x - border;
    rect->top = origin->dst_y - border;
    rect->right = origin->dst_x + geometry->width + border;
    rect->bottom = origin->dst_y + geometry->height + border;
    // A window manager's decoration counts as part of the window.
    const std::vector<uint32_t> frame = property(target, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
    if (frame.size() == 4) {
        rect->left -= static_cast<int32_t>(frame[0]);
        rect->right += static_cast<int32_t>(frame[1]);
        rect->top -= static_cast<int32_t>(frame[2]);
        rect->bottom += static_cast<int32_t>(frame[3]);
    }
    return true;
}

bool X11NativeWindows::shiftHeld()
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_generic_error_t* error = nullptr;
    const auto pointer = take(xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), &error), error);
    return pointer && (pointer->mask & XCB_KEY_BUT_MASK_SHIFT);
}

bool X11NativeWindows::isFocusIn(const QByteArray& eventType, void* message, WId own)
{
    if (!message || eventType != "xcb_generic_event_t")
        return false;
    const auto* const event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_FOCUS_IN)
        return false;
    const auto* const focus = static_cast<const xcb_focus_in_event_t*>(message);
    // The window itself got the focus (not one of its children), and not
    // just for the time of a grab.
    const bool itself = focus->detail == XCB_NOTIFY_DETAIL_ANCESTOR || focus->detail == XCB_NOTIFY_DETAIL_INFERIOR
        || focus->detail == XCB_NOTIFY_DETAIL_NONLINEAR;
    return focus->event == toWindow(own) && focus->mode == XCB_NOTIFY_MODE_NORMAL && itself;
}

void X11NativeWindows::setOwner(QWindow* dialog, WId host)
{
    // The toolkit writes WM_TRANSIENT_FOR from the transient parent when it
    // maps the dialog; window managers honour it for a top-level only.
    const xcb_window_t topLevelHost = topLevel(toWindow(host));
    if (!dialog || topLevelHost == XCB_NONE)
        return;
    if (!owner || owner->winId() != topLevelHost)
        owner.reset(QWindow::fromWinId(topLevelHost));
    dialog->setTransientParent(owner.get());
    // When a focused window is unmapped, a window manager picks a window to
    // focus next, some time later, and would override the focus that the
    // host gets back. Handing the focus to the owner first, while the dialog
    // is still mapped, leaves the window manager nothing to pick.
    QObject::disconnect(dialog, &QWindow::visibleChanged, owner.get(), nullptr);
    QObject::connect(dialog, &QWindow::visibleChanged, owner.get(), [this, topLevelHost](bool visible) {
        if (!visible)
            setFocus(topLevelHost);
    });
}

bool X11NativeWindows::succeeded(xcb_void_cookie_t cookie)
{
    const Reply<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
    return !error;
}

xcb_atom_t X11NativeWindows::atom(const char* name)
{
    xcb_generic_error_t* error = nullptr;
    const auto reply = take(xcb_intern_atom_reply(connection,
                                xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), &error),
        error);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<uint32_t> X11NativeWindows::property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    constexpr uint32_t longestValue = 1024; // in 32-bit units
    xcb_generic_error_t* error = nullptr;
    const auto reply = take(xcb_get_property_reply(connection,
                                xcb_get_property(connection, 0, window, name, type, 0, longestValue), &error),
        error);
    if (!reply || reply->format != 32)
        return {};
    const auto* const items = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return { items, items + xcb_get_property_value_length(reply.get()) / 4 };
}

xcb_window_t X11NativeWindows::rootOf(xcb_window_t window)
{
    xcb_generic_error_t* error = nullptr;
    const auto geometry = take(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), &error), error);
    return geometry ? geometry->root : xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

xcb_window_t X11NativeWindows::topLevel(xcb_window_t window)
{
    const xcb_atom_t wmState = atom("WM_STATE");
    xcb_window_t current = window;
    for (int depth = 0; depth < deepestAncestry && current != XCB_NONE; ++depth) {
        if (!property(current, wmState, XCB_GET_PROPERTY_TYPE_ANY).empty())
            return current;
        xcb_generic_error_t* error = nullptr;
        const auto tree = take(xcb_query_tree_reply(connection, xcb_query_tree(connection, current), &error), error);
        if (!tree)
            return window;
        if (tree->parent == tree->root || tree->parent == XCB_NONE)
            return current;
        current = tree->parent;
    }
    return window;
}

bool X11NativeWindows::windowManagerSupports(xcb_window_t root, const char* hint)
{
    // A window manager that has gone may leave its hints on the root window;
    // its check window then no longer names itself.
    const xcb_atom_t check = atom("_NET_SUPPORTING_WM_CHECK");
    const std::vector<uint32_t> manager = property(root, check, XCB_ATOM_WINDOW);
    if (manager.size() != 1 || property(manager.front(), check, XCB_ATOM_WINDOW) != manager)
        return false;
    const std::vector<uint32_t> supported = property(root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), atom(hint)) != supported.end();
}
