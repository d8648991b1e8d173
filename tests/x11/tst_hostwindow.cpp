// The dialog adopts a foreign X11 window for real. The test makes the host
// itself with plain xcb, a top-level window with a child control that has
// the keyboard focus, runs mpa-settings with the window's id in a child
// process and watches from outside, under Xvfb. With VL_WINDOW_MANAGER set
// (openbox) it starts that window manager first.

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {
constexpr int timeoutMs = 10000;
constexpr uint32_t escapeKeysym = 0xff1b;
const QByteArray dialogTitle = "Veltrano MPEG-1/2 Audio Encoder Settings";

struct FreeDeleter
{
    void operator()(void* pointer) const { std::free(pointer); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// Polls the condition until it holds or the time is up.
bool waitFor(const std::function<bool()>& condition, int ms = timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.hasExpired(ms))
            return false;
        QThread::msleep(10);
    }
    return true;
}

// Design arithmetic: each half divided separately, kept on the desktop.
QPoint centredOrigin(const QRect& host, const QSize& dialog, const QSize& desktop)
{
    const int right = host.left() + host.width();
    const int bottom = host.top() + host.height();
    const int x = (host.left() + right) / 2 - dialog.width() / 2;
    const int y = (host.top() + bottom) / 2 - dialog.height() / 2;
    return { std::min(std::max(x, 0), desktop.width() - dialog.width()),
        std::min(std::max(y, 0), desktop.height() - dialog.height()) };
}
} // namespace

class TestHostWindow : public QObject
{
    Q_OBJECT

private:
    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;
    QProcess windowManager;
    std::map<xcb_window_t, int> presses;

    xcb_atom_t atom(const char* name)
    {
        const Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr));
        return reply ? reply->atom : 0;
    }

    QByteArray property(xcb_window_t window, const char* name)
    {
        const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection,
            xcb_get_property(connection, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr));
        if (!reply)
            return {};
        return QByteArray(
            static_cast<const char*>(xcb_get_property_value(reply.get())), xcb_get_property_value_length(reply.get()));
    }

    QVector<uint32_t> cardinals(xcb_window_t window, const char* name)
    {
        const QByteArray bytes = property(window, name);
        QVector<uint32_t> values(bytes.size() / 4);
        memcpy(values.data(), bytes.constData(), size_t(values.size()) * 4);
        return values;
    }

    // Root coordinates; with `outer` the window manager's frame is included.
    QRect rect(xcb_window_t window, bool outer)
    {
        const Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
        const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, window, screen->root, 0, 0), nullptr));
        if (!geometry || !origin)
            return {};
        QRect result(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
        const QVector<uint32_t> frame = cardinals(window, "_NET_FRAME_EXTENTS");
        if (outer && frame.size() == 4)
            result.adjust(-int(frame[0]), -int(frame[2]), int(frame[1]), int(frame[3]));
        return result;
    }

    xcb_window_t focus()
    {
        const Reply<xcb_get_input_focus_reply_t> reply(
            xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        return reply ? reply->focus : 0;
    }

    // Reads the events that arrived, counting button presses per window.
    void pump()
    {
        focus(); // a round trip: everything the server sent before is here
        while (const Reply<xcb_generic_event_t> event { xcb_poll_for_queued_event(connection) }) {
            if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS)
                ++presses[reinterpret_cast<xcb_button_press_event_t*>(event.get())->event];
        }
    }

    xcb_window_t createWindow(xcb_window_t parent, const QRect& area, uint32_t events, bool overrideRedirect = false)
    {
        const xcb_window_t window = xcb_generate_id(connection);
        const uint32_t values[] = { screen->white_pixel, overrideRedirect, events };
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, parent, int16_t(area.x()), int16_t(area.y()),
            uint16_t(area.width()), uint16_t(area.height()), 1, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
            XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        // Window managers keep a position the user asked for.
        const uint32_t hints[18]
            = { 1 | 2, uint32_t(area.x()), uint32_t(area.y()), uint32_t(area.width()), uint32_t(area.height()) };
        xcb_change_property(
            connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
        xcb_map_window(connection, window);
        return window;
    }

    bool viewable(xcb_window_t window)
    {
        const Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    // A top-level window with a focused control, managed and shown.
    std::pair<xcb_window_t, xcb_window_t> createHost(const QRect& area)
    {
        const xcb_window_t top = createWindow(screen->root, area, XCB_EVENT_MASK_BUTTON_PRESS);
        const xcb_window_t control = createWindow(top, QRect(5, 10, 60, 30), XCB_EVENT_MASK_BUTTON_PRESS);
        const bool managed = waitFor([&] {
            return viewable(control)
                && (windowManager.state() == QProcess::NotRunning
                    || cardinals(screen->root, "_NET_ACTIVE_WINDOW").value(0) == top);
        });
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, control, XCB_CURRENT_TIME);
        return { managed && waitFor([&] { return focus() == control; }) ? top : 0, control };
    }

    xcb_window_t findByTitle(xcb_window_t window, int depth = 0)
    {
        if (depth > 3)
            return 0;
        if (property(window, "_NET_WM_NAME") == dialogTitle && viewable(window))
            return window;
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
        for (int i = 0; tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
            if (const xcb_window_t found = findByTitle(xcb_query_tree_children(tree.get())[i], depth + 1))
                return found;
        }
        return 0;
    }

    xcb_window_t waitForDialog()
    {
        xcb_window_t dialog = 0;
        // Under a window manager the dialog counts as shown once it is framed.
        waitFor([&] {
            dialog = findByTitle(screen->root);
            return dialog
                && (windowManager.state() == QProcess::NotRunning || !property(dialog, "_NET_FRAME_EXTENTS").isEmpty());
        });
        return dialog;
    }

    void fakeInput(uint8_t type, uint8_t detail, const QPoint& at = {})
    {
        xcb_test_fake_input(
            connection, type, detail, XCB_CURRENT_TIME, screen->root, int16_t(at.x()), int16_t(at.y()), 0);
    }

    void click(const QPoint& at)
    {
        fakeInput(XCB_MOTION_NOTIFY, 0, at);
        fakeInput(XCB_BUTTON_PRESS, 1);
        fakeInput(XCB_BUTTON_RELEASE, 1);
        xcb_flush(connection);
    }

    // Clicks a window and returns the presses it received. Sync-grabbing
    // window managers replay a click some time later, so a click on a
    // window of the test's own, which no one manages, marks the end.
    int pressesAfterClick(xcb_window_t window)
    {
        const xcb_window_t sentinel = createWindow(screen->root, QRect(0, 0, 8, 8), XCB_EVENT_MASK_BUTTON_PRESS, true);
        pump();
        const int before = presses[window];
        click(rect(window, false).center());
        click(QPoint(4, 4));
        waitFor([&] {
            pump();
            return presses[sentinel] > 0;
        });
        xcb_destroy_window(connection, sentinel);
        return presses[sentinel] > 0 ? presses[window] - before : -1;
    }

    uint8_t keycode(uint32_t keysym)
    {
        const xcb_setup_t* const setup = xcb_get_setup(connection);
        const uint8_t count = setup->max_keycode - setup->min_keycode + 1;
        const Reply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr));
        const xcb_keysym_t* const keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
        for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(mapping.get()); ++i) {
            if (keysyms[i] == keysym)
                return uint8_t(setup->min_keycode + i / mapping->keysyms_per_keycode);
        }
        return 0;
    }

    // Presses Escape in the dialog once it has the keyboard focus; returns
    // what the host program printed.
    QByteArray cancel(QProcess& program, xcb_window_t dialog)
    {
        if (!waitFor([&] { return focus() == dialog; }))
            return "the dialog never got the keyboard focus";
        fakeInput(XCB_KEY_PRESS, keycode(escapeKeysym));
        fakeInput(XCB_KEY_RELEASE, keycode(escapeKeysym));
        xcb_flush(connection);
        if (!program.waitForFinished(timeoutMs))
            program.kill();
        return program.readAllStandardOutput() + program.readAllStandardError();
    }

    void startDialog(QProcess& program, xcb_window_t host)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VL_HOST_PROGRAM), { QStringLiteral("--parent"), QString::number(host) });
    }

private slots:
    void initTestCase()
    {
        connection = xcb_connect(nullptr, nullptr);
        QVERIFY2(!xcb_connection_has_error(connection), "no X display; run under xvfb-run");
        screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const QString manager = qEnvironmentVariable("VL_WINDOW_MANAGER");
        if (manager.isEmpty())
            return;
        windowManager.start(manager, { QStringLiteral("--sm-disable") });
        QVERIFY(waitFor([&] {
            const QVector<uint32_t> check = cardinals(screen->root, "_NET_SUPPORTING_WM_CHECK");
            return !check.isEmpty() && cardinals(check[0], "_NET_SUPPORTING_WM_CHECK") == check;
        }));
        // It may announce itself before it manages windows.
        QVERIFY(waitFor([&] {
            const xcb_window_t probe = createWindow(screen->root, QRect(0, 0, 10, 10), 0);
            const bool managed = waitFor([&] { return viewable(probe); }, 500);
            xcb_destroy_window(connection, probe);
            return managed;
        }));
    }

    void cleanupTestCase()
    {
        windowManager.kill();
        windowManager.waitForFinished();
        xcb_disconnect(connection);
    }

    void modalChild_data()
    {
        QTest::addColumn<QRect>("host");
        QTest::newRow("centred over the host") << QRect(190, 362, 900, 300);
        // Centred, the dialog would reach above the desktop's top.
        QTest::newRow("clamped at the desktop's top") << QRect(190, 20, 900, 300);
    }

    void modalChild()
    {
        QFETCH(QRect, host);
        const auto [top, control] = createHost(host);
        QVERIFY2(top, "the host window did not come up with the focus on its control");
        QProcess program;
        startDialog(program, top);
        const xcb_window_t dialog = waitForDialog();
        QVERIFY2(dialog, "the dialog did not appear");

        const QRect outer = rect(top, true);
        const QRect client = rect(dialog, false);
        const QPoint frameOrigin = rect(dialog, true).topLeft();
        QCOMPARE(
            frameOrigin, centredOrigin(outer, client.size(), QSize(screen->width_in_pixels, screen->height_in_pixels)));
        QCOMPARE(cardinals(dialog, "WM_TRANSIENT_FOR"), QVector<uint32_t> { top });
        QVERIFY(cardinals(dialog, "_NET_WM_STATE").contains(atom("_NET_WM_STATE_MODAL")));
        QVERIFY(!client.intersects(rect(control, false)));
        QCOMPARE(pressesAfterClick(control), 0);

        QVERIFY(cancel(program, dialog).contains("result=1001"));
        QVERIFY2(waitFor([&] { return focus() == control; }), "the control did not get the keyboard focus back");
        QCOMPARE(pressesAfterClick(control), 1);
        xcb_destroy_window(connection, top);
    }

    void unknownWindow_data()
    {
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("never existed") << false;
        QTest::newRow("destroyed") << true;
    }

    // A window id that names no window opens the dialog unparented.
    void unknownWindow()
    {
        QFETCH(bool, destroyed);
        xcb_window_t host = 0x1fffff00; // no client's ids reach that far on Xvfb
        if (destroyed) {
            host = createWindow(screen->root, QRect(100, 100, 200, 100), 0);
            xcb_destroy_window(connection, host);
            focus();
        }
        QProcess program;
        startDialog(program, host);
        const xcb_window_t dialog = waitForDialog();
        QVERIFY2(dialog, "the dialog did not appear");
        QVERIFY(cardinals(dialog, "WM_TRANSIENT_FOR").value(0) != host);
        const QByteArray output = cancel(program, dialog);
        QVERIFY2(output.contains("result=1001") && output.contains("not adopted"), output.constData());
    }
};

QTEST_GUILESS_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
