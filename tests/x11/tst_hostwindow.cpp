// mpa-settings adopts a host window made with plain xcb (a top-level with a
// focused child control); the test watches from outside, under VL_WINDOW_MANAGER if set.
#include <QProcess>
#include <QtTest>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

class TestHostWindow : public QObject
{
    Q_OBJECT

    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;
    QProcess windowManager;

    template<typename T>
    static std::unique_ptr<T, void (*)(void*)> owned(T* reply)
    {
        return { reply, std::free };
    }

    xcb_atom_t atom(const char* name)
    {
        return owned(xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, strlen(name), name), nullptr))
            ->atom;
    }

    QVector<uint32_t> property(xcb_window_t window, const char* name)
    {
        const auto reply = owned(xcb_get_property_reply(connection,
            xcb_get_property(connection, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr));
        const auto* const values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
        return QVector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }

    // Root coordinates, the window manager's frame included.
    QRect outerRect(xcb_window_t window)
    {
        const auto geometry = owned(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
        const auto origin = owned(xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, window, screen->root, 0, 0), nullptr));
        const QVector<uint32_t> frame = property(window, "_NET_FRAME_EXTENTS").mid(0, 4) << QVector<uint32_t>(4, 0);
        return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height)
            .adjusted(-int(frame[0]), -int(frame[2]), int(frame[1]), int(frame[3]));
    }

    xcb_window_t focus()
    {
        return owned(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr))->focus;
    }
    bool managed() { return windowManager.state() != QProcess::NotRunning; }

    xcb_window_t createWindow(xcb_window_t parent, const QRect& area, bool overrideRedirect = false)
    {
        const xcb_window_t window = xcb_generate_id(connection);
        const uint32_t values[] = { screen->white_pixel, overrideRedirect, XCB_EVENT_MASK_BUTTON_PRESS };
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, parent, area.x(), area.y(), area.width(),
            area.height(), 1, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
            XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        // USPosition and USSize: window managers keep what the user asked for.
        const uint32_t hints[18]
            = { 3, uint32_t(area.x()), uint32_t(area.y()), uint32_t(area.width()), uint32_t(area.height()) };
        xcb_change_property(
            connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
        xcb_map_window(connection, window);
        return window;
    }

    // Focuses a window once it is viewable and its top-level active.
    bool focusWhenShown(xcb_window_t window, xcb_window_t topLevel, int ms = 10000)
    {
        const auto focused = [&] {
            xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
            return focus() == window
                && (!managed() || property(screen->root, "_NET_ACTIVE_WINDOW").value(0) == topLevel);
        };
        return QTest::qWaitFor(focused, ms);
    }

    // Runs the program (with the library's debug lines) on `host`; the dialog
    // is the window that takes the focus from `others` (0: none).
    xcb_window_t startDialog(QProcess& program, xcb_window_t host, const QVector<xcb_window_t>& others)
    {
        program.start(VL_HOST_PROGRAM, { "--verbose", "--parent", QString::number(host) });
        xcb_window_t dialog = 0;
        const auto appeared = [&] {
            dialog = focus();
            return dialog > XCB_INPUT_FOCUS_POINTER_ROOT && dialog != screen->root && !others.contains(dialog)
                && (!managed() || !property(dialog, "_NET_FRAME_EXTENTS").isEmpty());
        };
        return QTest::qWaitFor(appeared, 10000) ? dialog : 0;
    }

    // A press and its release, the next event type.
    void fakeInput(uint8_t press, uint8_t detail)
    {
        for (const uint8_t type : { press, uint8_t(press + 1) })
            xcb_test_fake_input(connection, type, detail, XCB_CURRENT_TIME, screen->root, 0, 0, 0);
    }

    // Clicks a window, then one no window manager handles (managers that
    // grab the pointer replay clicks later), and counts the first's presses.
    int pressesAfterClick(xcb_window_t window)
    {
        const xcb_window_t sentinel = createWindow(screen->root, QRect(0, 0, 8, 8), true);
        QMap<xcb_window_t, int> presses;
        for (const QPoint& at : { outerRect(window).center(), QPoint(4, 4) }) {
            xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen->root, at.x(), at.y(), 0);
            fakeInput(XCB_BUTTON_PRESS, 1);
        }
        const bool ended = QTest::qWaitFor([&] {
            focus(); // a round trip: the events sent before it are here
            while (const auto event = owned(xcb_poll_for_queued_event(connection))) {
                if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS)
                    ++presses[reinterpret_cast<xcb_button_press_event_t*>(event.get())->event];
            }
            return presses[sentinel] > 0;
        });
        xcb_destroy_window(connection, sentinel);
        return ended ? presses[window] : -1;
    }

    // Presses Escape and returns what the program printed.
    QByteArray cancel(QProcess& program)
    {
        fakeInput(XCB_KEY_PRESS, 9); // Escape in the X server's default keymaps
        xcb_flush(connection);
        if (!program.waitForFinished(10000))
            program.kill();
        return program.readAllStandardOutput() + program.readAllStandardError();
    }

private slots:
    void initTestCase()
    {
        qputenv("QT_QPA_PLATFORM", "xcb"); // for the program
        connection = xcb_connect(nullptr, nullptr);
        QVERIFY2(!xcb_connection_has_error(connection), "no X display; run under xvfb-run");
        screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        if (qEnvironmentVariableIsEmpty("VL_WINDOW_MANAGER"))
            return;
        windowManager.start(qEnvironmentVariable("VL_WINDOW_MANAGER"), { "--sm-disable" });
        // It may announce itself before it manages windows.
        QVERIFY(QTest::qWaitFor([&] {
            const xcb_window_t probe = createWindow(screen->root, QRect(0, 0, 10, 10));
            const bool shown = focusWhenShown(probe, probe, 500);
            xcb_destroy_window(connection, probe);
            return shown;
        }));
    }

    void cleanupTestCase()
    {
        windowManager.kill();
        windowManager.waitForFinished();
        xcb_disconnect(connection);
    }

    // A modal transient centred over the host, which takes no input meanwhile
    // and has its focus back afterwards.
    void adoption()
    {
        const xcb_window_t top = createWindow(screen->root, QRect(190, 362, 900, 300));
        const xcb_window_t control = createWindow(top, QRect(5, 10, 60, 30));
        QVERIFY2(focusWhenShown(control, top), "the host's control did not get the focus");
        QProcess program;
        const xcb_window_t dialog = startDialog(program, top, { top, control });
        QVERIFY2(dialog, "the dialog did not appear");
        // The frame goes where the dialog's own size centres it, halves rounded apart.
        const QRect host = outerRect(top);
        const auto size = owned(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, dialog), nullptr));
        const QRect shown = outerRect(dialog);
        QCOMPARE(shown.topLeft(),
            QPoint((2 * host.left() + host.width()) / 2 - size->width / 2,
                (2 * host.top() + host.height()) / 2 - size->height / 2));
        QCOMPARE(property(dialog, "WM_TRANSIENT_FOR"), QVector<uint32_t> { top });
        QVERIFY(property(dialog, "_NET_WM_STATE").contains(atom("_NET_WM_STATE_MODAL")));
        QVERIFY(!shown.intersects(outerRect(control)));
        QCOMPARE(pressesAfterClick(control), 0);
        QVERIFY(cancel(program).contains("result=1001"));
        QVERIFY2(QTest::qWaitFor([&] { return focus() == control; }), "the control did not get the focus back");
        QCOMPARE(pressesAfterClick(control), 1);
        xcb_destroy_window(connection, top);

        // An id no client has on Xvfb opens the dialog unparented.
        const xcb_window_t unparented = startDialog(program, 0x1fffff00, {});
        QVERIFY2(unparented, "the unparented dialog did not appear");
        QVERIFY(property(unparented, "WM_TRANSIENT_FOR").value(0) != 0x1fffff00);
        const QByteArray output = cancel(program);
        QVERIFY2(output.contains("result=1001") && output.contains("not adopted"), output.constData());
    }
};

QTEST_GUILESS_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
