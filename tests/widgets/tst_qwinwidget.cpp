// QWinWidget's toolkit logic against a recording fake of the native window
// operations: modality, focus hand-over and Tab walks.
#include "fakenativewindows.h"
#include "widgets/qwinwidget.h"

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

namespace {
constexpr WId host = 80;
constexpr WId control = 81;

// Exposes the native event hook.
class WinWidget : public QWinWidget
{
public:
    using QWinWidget::nativeEvent;
    using QWinWidget::QWinWidget;
};
} // namespace

class TestQWinWidget : public QObject
{
    Q_OBJECT

    QStringList log;
    FakeNativeWindows* windows = nullptr; // owned by the widget

    std::unique_ptr<WinWidget> makeWidget()
    {
        auto fake = std::make_unique<FakeNativeWindows>(&log);
        windows = fake.get();
        windows->focused = control;
        auto widget = std::make_unique<WinWidget>(host, std::move(fake));
        log.clear(); // what adopting the host window did
        return widget;
    }

    // Line edits inside the widget itself, not in a window of their own.
    static QList<QLineEdit*> addEdits(QWidget* parent, int count, Qt::FocusPolicy policy = Qt::StrongFocus)
    {
        QList<QLineEdit*> edits;
        while (edits.size() < count) {
            edits.append(new QLineEdit(parent));
            edits.last()->setFocusPolicy(policy);
        }
        return edits;
    }

private slots:
    void childWindow_data()
    {
        QTest::addColumn<Qt::WindowType>("type");
        QTest::addColumn<Qt::WindowModality>("modality");
        QTest::addColumn<bool>("deleteOnClose");
        QTest::addColumn<bool>("closed"); // else hidden
        QTest::addColumn<QStringList>("expected"); // while shown | after
        QTest::addColumn<bool>("deleted");
        const QStringList modal { "owner 80", "disable 80", "|", "enable 80", "focus 81" };
        QTest::newRow("modal") << Qt::Dialog << Qt::ApplicationModal << false << false << modal << false;
        QTest::newRow("window-modal") << Qt::Dialog << Qt::WindowModal << false << false << modal << false;
        QTest::newRow("non-modal") << Qt::Dialog << Qt::NonModal << false << false
                                   << QStringList { "owner 80", "|", "focus 81" } << false;
        QTest::newRow("closed, deleting on close")
            << Qt::Dialog << Qt::ApplicationModal << true << true
            << QStringList { "owner 80", "disable 80", "|", "activate 80", "enable 80", "focus 81" } << true;
        QTest::newRow("hidden, deleting on close")
            << Qt::Dialog << Qt::ApplicationModal << true << false << modal << true;
        // A widget that is no window saves no focus, and hiding it deletes nothing.
        QTest::newRow("child widget closed")
            << Qt::Widget << Qt::NonModal << true << true << QStringList { "|", "activate 80", "focus 80" } << true;
        QTest::newRow("child widget hidden")
            << Qt::Widget << Qt::NonModal << true << false << QStringList { "|", "focus 80" } << false;
    }

    void childWindow()
    {
        QFETCH(Qt::WindowType, type);
        QFETCH(Qt::WindowModality, modality);
        QFETCH(bool, deleteOnClose);
        QFETCH(bool, closed);
        QPointer<QWinWidget> widget = makeWidget().release();
        auto* const child = new QWidget(widget, type);
        child->setWindowModality(modality);
        child->setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
        child->show();
        QVERIFY(widget->isHidden());
        log.append(QStringLiteral("|"));
        if (closed)
            child->close();
        else
            child->hide();
        QTEST(log, "expected");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTEST(widget.isNull(), "deleted");
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

    void tabWalk_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<int>("focusedAfter"); // -1: the host window has the focus
        QTest::newRow("Tab from the last") << 1 << false << -1;
        QTest::newRow("Shift+Tab from the first") << 0 << true << -1;
        QTest::newRow("Tab from the first") << 0 << false << 1;
        QTest::newRow("Shift+Tab from the last") << 1 << true << 0;
    }

    void tabWalk()
    {
        QFETCH(int, from);
        QFETCH(bool, backwards);
        QFETCH(int, focusedAfter);
        const auto widget = makeWidget();
        const QList<QLineEdit*> edits = addEdits(widget.get(), 2);
        edits[from]->setFocus();
        QTest::keyClick(edits[from], Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(log, focusedAfter < 0 ? QStringList { "focus 80" } : QStringList());
        QCOMPARE(widget->focusWidget(), edits[focusedAfter < 0 ? from : focusedAfter]);
    }

    void nativeFocusIn_data()
    {
        QTest::addColumn<QByteArray>("eventType");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<Qt::FocusPolicy>("policy");
        QTest::addColumn<int>("focusedAfter"); // -1: no widget has the focus
        QTest::newRow("without Shift") << QByteArray("focus-in") << false << Qt::StrongFocus << 0;
        QTest::newRow("with Shift") << QByteArray("focus-in") << true << Qt::StrongFocus << 2;
        QTest::newRow("no focusable widget") << QByteArray("focus-in") << false << Qt::NoFocus << -1;
        QTest::newRow("another event") << QByteArray("other") << false << Qt::StrongFocus << -1;
    }

    void nativeFocusIn()
    {
        QFETCH(QByteArray, eventType);
        QFETCH(bool, shift);
        QFETCH(Qt::FocusPolicy, policy);
        QFETCH(int, focusedAfter);
        const auto widget = makeWidget();
        windows->shift = shift;
        const QList<QLineEdit*> edits = addEdits(widget.get(), 3, policy);
        WinWidget::NativeEventResult result = 0;
        QVERIFY(!widget->nativeEvent(eventType, nullptr, &result));
        QCOMPARE(widget->focusWidget(), focusedAfter < 0 ? nullptr : edits[focusedAfter]);
    }
};

QTEST_MAIN(TestQWinWidget)
#include "tst_qwinwidget.moc"
