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
    int embeddingEvents = 0;

    std::unique_ptr<WinWidget> makeWidget(WId hostWindow = host)
    {
        auto fake = std::make_unique<FakeNativeWindows>(&log);
        windows = fake.get();
        windows->focused = control;
        return std::make_unique<WinWidget>(hostWindow, std::move(fake));
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EmbeddingControl && !event->spontaneous())
            ++embeddingEvents;
        return QObject::eventFilter(watched, event);
    }

private slots:
    void init()
    {
        log.clear();
        embeddingEvents = 0;
    }

    void adoption_data()
    {
        QTest::addColumn<WId>("handle");
        QTest::newRow("host window") << host;
        QTest::newRow("null handle") << WId(0);
    }

    void adoption()
    {
        QFETCH(WId, handle);
        qApp->installEventFilter(this);
        const auto widget = makeWidget(handle);
        qApp->removeEventFilter(this);
        const QStringList expected = handle
            ? QStringList { QStringLiteral("child %1").arg(widget->winId()), QStringLiteral("reparent 80") }
            : QStringList();
        QCOMPARE(log, expected);
        QCOMPARE(embeddingEvents, handle ? 1 : 0);
        QCOMPARE(widget->hostWindowHandle(), handle);
    }

    void childWindow_data()
    {
        QTest::addColumn<Qt::WindowModality>("modality");
        QTest::addColumn<WId>("focused");
        QTest::addColumn<QString>("end"); // hide, close or delete
        QTest::addColumn<QStringList>("whileShown");
        QTest::addColumn<QStringList>("afterEnd");
        const QStringList shownModal { "owner 80", "disable 80" };
        QTest::newRow("modal") << Qt::ApplicationModal << control << "hide" << shownModal
                               << QStringList { "enable 80", "focus 81" };
        QTest::newRow("window-modal") << Qt::WindowModal << control << "hide" << shownModal
                                      << QStringList { "enable 80", "focus 81" };
        QTest::newRow("non-modal") << Qt::NonModal << control << "hide" << QStringList { "owner 80" }
                                   << QStringList { "focus 81" };
        QTest::newRow("no native focus") << Qt::ApplicationModal << WId(0) << "hide" << shownModal
                                         << QStringList { "enable 80", "focus 80" };
        QTest::newRow("closed") << Qt::ApplicationModal << control << "close" << shownModal
                                << QStringList { "activate 80", "enable 80", "focus 81" };
        QTest::newRow("deleted while shown")
            << Qt::ApplicationModal << control << "delete" << shownModal << QStringList { "enable 80", "focus 81" };
    }

    void childWindow()
    {
        QFETCH(Qt::WindowModality, modality);
        QFETCH(QString, end);
        const auto widget = makeWidget();
        QFETCH(WId, focused);
        windows->focused = focused;
        auto* const dialog = new QDialog(widget.get());
        dialog->setWindowModality(modality);
        log.clear();
        dialog->show();
        QTEST(log, "whileShown");
        QVERIFY(widget->isHidden());
        log.clear();
        if (end == "hide")
            dialog->hide();
        else if (end == "close")
            dialog->close();
        else
            delete dialog;
        QTEST(log, "afterEnd");
    }

    void secondWindowReusesSavedFocus()
    {
        const auto widget = makeWidget();
        QDialog first(widget.get());
        first.setModal(true);
        first.show();
        first.hide();
        windows->focused = 99;
        QDialog second(widget.get());
        second.setModal(true);
        log.clear();
        second.show();
        second.hide();
        QCOMPARE(log, (QStringList { "owner 80", "disable 80", "enable 80", "focus 81" }));
    }

    void deleteOnClose_data()
    {
        QTest::addColumn<bool>("deleteOnClose");
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("closed"); // else hidden
        QTest::addColumn<bool>("deleted");
        QTest::newRow("window closed") << true << true << true << true;
        QTest::newRow("window hidden") << true << true << false << true;
        QTest::newRow("child widget closed") << true << false << true << true;
        QTest::newRow("child widget hidden") << true << false << false << false;
        QTest::newRow("window without the attribute") << false << true << true << false;
    }

    void deleteOnClose()
    {
        QFETCH(bool, deleteOnClose);
        QFETCH(bool, window);
        QFETCH(bool, closed);
        QPointer<QWinWidget> widget = makeWidget().release();
        auto* const child = new QWidget(widget, window ? Qt::Dialog : Qt::Widget);
        child->setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
        child->show();
        if (closed)
            child->close();
        else
            child->hide();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTEST(widget.isNull(), "deleted");
        delete widget;
    }

    void tabWalk_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<int>("focusedAfter"); // -1: the host window has it
        QTest::newRow("Tab from the last") << 1 << false << -1;
        QTest::newRow("Shift+Tab from the first") << 0 << true << -1;
        QTest::newRow("Tab from the first") << 0 << false << 1;
        QTest::newRow("Shift+Tab from the last") << 1 << true << 0;
    }

    // Widgets placed inside the widget itself, not in a window of their own.
    void tabWalk()
    {
        QFETCH(int, focusedAfter);
        const auto widget = makeWidget();
        QLineEdit* const edits[] = { new QLineEdit(widget.get()), new QLineEdit(widget.get()) };
        QFETCH(int, from);
        QFETCH(bool, backwards);
        edits[from]->setFocus();
        log.clear();
        QTest::keyClick(widget->focusWidget(), Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(log, focusedAfter < 0 ? QStringList { "focus 80" } : QStringList());
        if (focusedAfter >= 0)
            QCOMPARE(widget->focusWidget(), edits[focusedAfter]);
    }

    void nativeFocusIn_data()
    {
        QTest::addColumn<QByteArray>("eventType");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("focusable");
        QTest::addColumn<int>("focusedAfter"); // -1: no widget has the focus
        QTest::newRow("without Shift") << QByteArray("focus-in") << false << true << 0;
        QTest::newRow("with Shift") << QByteArray("focus-in") << true << true << 2;
        QTest::newRow("no focusable widget") << QByteArray("focus-in") << false << false << -1;
        QTest::newRow("another event") << QByteArray("other") << false << true << -1;
    }

    void nativeFocusIn()
    {
        QFETCH(int, focusedAfter);
        const auto widget = makeWidget();
        QFETCH(bool, shift);
        QFETCH(bool, focusable);
        QFETCH(QByteArray, eventType);
        windows->shift = shift;
        QLineEdit* const edits[]
            = { new QLineEdit(widget.get()), new QLineEdit(widget.get()), new QLineEdit(widget.get()) };
        for (QLineEdit* edit : edits)
            edit->setFocusPolicy(focusable ? Qt::StrongFocus : Qt::NoFocus);
        WinWidget::NativeEventResult result = 0;
        QVERIFY(!widget->nativeEvent(eventType, nullptr, &result));
        QCOMPARE(widget->focusWidget(), focusedAfter < 0 ? nullptr : edits[focusedAfter]);
    }
};

QTEST_MAIN(TestQWinWidget)
#include "tst_qwinwidget.moc"
