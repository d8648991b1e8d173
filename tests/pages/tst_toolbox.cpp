#include "widgets/toolbox.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

// A shown tool box of the given size with `count` sections, each holding a
// widget of fixed height.
std::unique_ptr<ToolBox> makeToolBox(int count, int sectionHeight, QSize size)
{
    auto box = std::make_unique<ToolBox>();
    for (int i = 0; i < count; ++i) {
        auto* widget = new QWidget(box.get());
        widget->setObjectName(QStringLiteral("section%1").arg(i));
        widget->setFixedHeight(sectionHeight);
        box->addItem(widget, QStringLiteral("Section %1").arg(i), QString(), QString());
    }
    box->resize(size);
    box->show();
    return QTest::qWaitForWindowExposed(box.get()) ? std::move(box) : nullptr;
}

// The section buttons from top to bottom.
QList<QToolButton*> buttons(const ToolBox& box)
{
    QList<QToolButton*> found = box.findChildren<QToolButton*>();
    std::sort(found.begin(), found.end(), [](QToolButton* a, QToolButton* b) { return a->y() < b->y(); });
    return found;
}

} // namespace

// The collapsible section container on real widgets.
class TestToolBox : public QObject
{
    Q_OBJECT

private slots:
    void sectionsOpenIndependently_data();
    void sectionsOpenIndependently();
    void scrollBars_data();
    void scrollBars();
};

void TestToolBox::sectionsOpenIndependently_data()
{
    QTest::addColumn<int>("closed");
    QTest::newRow("first") << 0;
    QTest::newRow("middle") << 1;
    QTest::newRow("last") << 2;
}

void TestToolBox::sectionsOpenIndependently()
{
    QFETCH(int, closed);
    auto box = makeToolBox(3, 100, QSize(300, 500));
    QVERIFY(box);
    const QList<QToolButton*> sectionButtons = buttons(*box);
    QCOMPARE(sectionButtons.size(), 3);
    QToolButton* const button = sectionButtons.at(closed);
    QToolButton* const next = closed < 2 ? sectionButtons.at(closed + 1) : nullptr;
    const int nextTop = next ? next->y() : 0;

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isChecked());
    for (int i = 0; i < 3; ++i) {
        auto* widget = box->findChild<QWidget*>(QStringLiteral("section%1").arg(i));
        QCOMPARE(widget->isVisible(), i != closed);
    }
    if (next) {
        // The next header moves up to sit right under the closed one.
        QTRY_VERIFY(next->y() < nextTop - 90);
        QVERIFY(next->y() > button->geometry().bottom());
        QVERIFY(next->y() - button->geometry().bottom() < 30);
    }

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(box->findChild<QWidget*>(QStringLiteral("section%1").arg(closed))->isVisible());
    if (next)
        QTRY_COMPARE(next->y(), nextTop);
}

void TestToolBox::scrollBars_data()
{
    QTest::addColumn<int>("sections");
    QTest::addColumn<bool>("vertical");
    QTest::newRow("fits") << 1 << false;
    QTest::newRow("taller than the box") << 4 << true;
}

void TestToolBox::scrollBars()
{
    QFETCH(int, sections);
    QFETCH(bool, vertical);
    auto box = makeToolBox(sections, 120, QSize(250, 260));
    QVERIFY(box);
    auto* area = box->findChild<QScrollArea*>();
    QVERIFY(area);
    QTRY_COMPARE(area->verticalScrollBar()->isVisible(), vertical);
    QVERIFY(!area->horizontalScrollBar()->isVisible());
    // The contents follow the width of the view, however narrow.
    box->resize(180, 260);
    QTRY_COMPARE(area->widget()->width(), area->viewport()->width());
    QVERIFY(!area->horizontalScrollBar()->isVisible());
}

QTEST_MAIN(TestToolBox)
#include "tst_toolbox.moc"
