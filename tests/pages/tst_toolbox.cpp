// The collapsible section container on real widgets.
#include "widgets/toolbox.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

class TestToolBox : public QObject
{
    Q_OBJECT

private:
    // Shows a tool box of `size` with `count` sections of `height` pixels;
    // returns the section buttons from top to bottom.
    QList<QToolButton*> show(ToolBox& box, int count, int height, QSize size)
    {
        for (int i = 0; i < count; ++i) {
            auto* const widget = new QWidget(&box);
            widget->setFixedHeight(height);
            box.addItem(widget, QStringLiteral("Section %1").arg(i), QString(), QString());
        }
        box.resize(size);
        box.show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(&box)); }();
        QList<QToolButton*> buttons = box.findChildren<QToolButton*>();
        std::sort(buttons.begin(), buttons.end(), [](QToolButton* a, QToolButton* b) { return a->y() < b->y(); });
        return buttons;
    }

private slots:
    // Closing a section hides its widget only, and the next header moves up
    // to sit right under the closed one; opening restores the layout.
    void sectionsOpenIndependently()
    {
        ToolBox box;
        const QList<QToolButton*> buttons = show(box, 3, 100, QSize(300, 500));
        QCOMPARE(buttons.size(), 3);
        const int nextTop = buttons.at(2)->y();
        QTest::mouseClick(buttons.at(1), Qt::LeftButton);
        QVERIFY(!buttons.at(1)->isChecked());
        QTRY_VERIFY(buttons.at(2)->y() < nextTop - 90);
        QVERIFY(buttons.at(2)->y() - buttons.at(1)->geometry().bottom() < 30);
        const QList<QWidget*> widgets = box.findChildren<QWidget*>();
        QCOMPARE(std::count_if(
                     widgets.begin(), widgets.end(), [](QWidget* w) { return w->height() == 100 && !w->isVisible(); }),
            1);
        QTest::mouseClick(buttons.at(1), Qt::LeftButton);
        QTRY_COMPARE(buttons.at(2)->y(), nextTop);
    }

    // A vertical scroll bar only when the sections are taller than the box;
    // never a horizontal one, however narrow the box.
    void scrollBars()
    {
        for (const int sections : { 1, 4 }) {
            ToolBox box;
            show(box, sections, 120, QSize(250, 260));
            auto* const area = box.findChild<QScrollArea*>();
            QTRY_COMPARE(area->verticalScrollBar()->isVisible(), sections == 4);
            box.resize(180, 260);
            QTRY_COMPARE(area->widget()->width(), area->viewport()->width());
            QVERIFY(!area->horizontalScrollBar()->isVisible());
        }
    }
};

QTEST_MAIN(TestToolBox)
#include "tst_toolbox.moc"
