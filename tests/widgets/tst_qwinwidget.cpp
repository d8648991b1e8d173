// QWinWidget's toolkit logic against a recording fake of the native window
// operations: modality, focus hand-over and Tab walks.
#include "platform/nativewindows.h"
#include "rows.h"
#include "widgets/qwinwidget.h"

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

namespace {
constexpr WId host = 80;
constexpr WId control = 81;

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
    bool windowRect(WId, Platform::WindowRect*) override { return false; }
    bool shiftHeld() override { return shift; }
    bool isFocusIn(const QByteArray& eventType, void*, WId) override { return eventType == "focus-in"; }
    void setOwner(QWindow*, WId host) override { record("owner", host); }

    WId focused = control;
    bool shift = false;

private:
    void record(const char* operation, WId window) { log->append(QStringLiteral("%1 %2").arg(operation).arg(window)); }

    QStringList* log;
};

// Exposes the native event hook.
class WinWidget : public QWinWidget
{
public:
    using QWinWidget::nativeEvent;
    using QWinWidget::QWinWidget;
};

const QStringList modal { "owner 80", "disable 80", "|", "enable 80", "focus 81" };

// A window (or widget) made with the QWinWidget as parent, shown, then closed
// or hidden: the native operations while shown, "|", and after.
const struct
{
    const char* name;
    Qt::WindowType type;
    Qt::WindowModality modality;
    bool deleteOnClose;
    bool closed; // else hidden
    QStringList expected;
    bool deleted;
} childRows[] = {
    { "modal", Qt::Dialog, Qt::ApplicationModal, false, false, modal, false },
    { "window-modal", Qt::Dialog, Qt::WindowModal, false, false, modal, false },
    { "non-modal", Qt::Dialog, Qt::NonModal, false, false, { "owner 80", "|", "focus 81" }, false },
    { "closed, deleting on close", Qt::Dialog, Qt::ApplicationModal, true, true,
        { "owner 80", "disable 80", "|", "activate 80", "enable 80", "focus 81" }, true },
    { "hidden, deleting on close", Qt::Dialog, Qt::ApplicationModal, true, false, modal, true },
    // A widget that is no window saves no focus, and hiding it deletes nothing.
    { "child widget closed", Qt::Widget, Qt::NonModal, true, true, { "|", "activate 80", "focus 80" }, true },
    { "child widget hidden", Qt::Widget, Qt::NonModal, true, false, { "|", "focus 80" }, false },
};

// name, the edit with the focus, Shift+Tab, the edit with the focus after (-1:
// the host window has it)
const std::tuple<const char*, int, bool, int> tabRows[]
    = { { "Tab from the last", 1, false, -1 }, { "Shift+Tab from the first", 0, true, -1 },
          { "Tab from the first", 0, false, 1 }, { "Shift+Tab from the last", 1, true, 0 } };

// name, native event type, Shift held, focus policy of the three edits, the
// edit with the focus after (-1: none)
const std::tuple<const char*, QByteArray, bool, Qt::FocusPolicy, int> focusInRows[]
    = { { "without Shift", "focus-in", false, Qt::StrongFocus, 0 },
          { "with Shift", "focus-in", true, Qt::StrongFocus, 2 },
          { "no focusable widget", "focus-in", false, Qt::NoFocus, -1 },
          { "another event", "other", false, Qt::StrongFocus, -1 } };
} // namespace

class TestQWinWidget : public QObject
{
    Q_OBJECT

    QStringList log;
    FakeNativeWindows* windows = nullptr; // owned by the widget

    // A widget on the fake with `edits` line edits inside it (not in windows
    // of their own); the log starts after the host window was adopted.
    std::unique_ptr<WinWidget> makeWidget(int edits = 0, Qt::FocusPolicy policy = Qt::StrongFocus)
    {
        auto fake = std::make_unique<FakeNativeWindows>(&log);
        windows = fake.get();
        auto widget = std::make_unique<WinWidget>(host, std::move(fake));
        while (edits-- > 0)
            (new QLineEdit(widget.get()))->setFocusPolicy(policy);
        log.clear();
        return widget;
    }

private slots:
    void childWindow_data() { addRows(childRows); }

    void childWindow()
    {
        const auto& row = currentRow(childRows);
        QPointer<QWinWidget> widget = makeWidget().release();
        auto* const child = new QWidget(widget, row.type);
        child->setWindowModality(row.modality);
        child->setAttribute(Qt::WA_DeleteOnClose, row.deleteOnClose);
        child->show();
        QVERIFY(widget->isHidden());
        log.append(QStringLiteral("|"));
        if (row.closed)
            child->close();
        else
            child->hide();
        QCOMPARE(log, row.expected);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(widget.isNull(), row.deleted);
        delete widget;
    }

    void secondWindowReusesSavedFocus()
    {
        const auto widget = makeWidget();
        QDialog first(widget.get());
        first.show();
        first.hide();
        windows->focused = 99;
        QDialog second(widget.get());
        log.clear();
        second.show();
        second.hide();
        QCOMPARE(log, (QStringList { "owner 80", "focus 81" }));
    }

    // Tab past the last edit, or Shift+Tab before the first, gives the host
    // window the focus; within the edits the toolkit moves it.
    void tabWalk_data() { addRows(tabRows); }

    void tabWalk()
    {
        const auto& [name, from, backwards, focusedAfter] = currentRow(tabRows);
        const auto widget = makeWidget(2);
        const QList<QLineEdit*> edits = widget->findChildren<QLineEdit*>();
        edits[from]->setFocus();
        QTest::keyClick(edits[from], Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(log, focusedAfter < 0 ? QStringList { "focus 80" } : QStringList());
        QCOMPARE(widget->focusWidget(), edits[focusedAfter < 0 ? from : focusedAfter]);
    }

    // A native focus-in gives the focus to the first focusable widget, or
    // with Shift held to the last; other native events change nothing.
    void nativeFocusIn_data() { addRows(focusInRows); }

    void nativeFocusIn()
    {
        const auto& [name, eventType, shift, policy, focusedAfter] = currentRow(focusInRows);
        const auto widget = makeWidget(3, policy);
        windows->shift = shift;
        WinWidget::NativeEventResult result = 0;
        QVERIFY(!widget->nativeEvent(eventType, nullptr, &result));
        const QList<QLineEdit*> edits = widget->findChildren<QLineEdit*>();
        QCOMPARE(widget->focusWidget(), focusedAfter < 0 ? nullptr : edits[focusedAfter]);
    }
};

QTEST_MAIN(TestQWinWidget)
#include "tst_qwinwidget.moc"
