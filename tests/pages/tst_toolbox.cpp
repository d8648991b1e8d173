#include "widgets/toolbox.h"

#include <QIcon>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

// The collapsible section container on real widgets.
class TestToolBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sectionStartsOpen();
    void buttonShowsStateIcon_data();
    void buttonShowsStateIcon();
    void closingFirstMovesSecondUp();
    void sectionsOpenIndependently_data();
    void sectionsOpenIndependently();
    void scrollBars_data();
    void scrollBars();

private:
    // A tool box of the given size with `count` sections, each holding a
    // widget of fixed height.
    std::unique_ptr<ToolBox> makeToolBox(int count, int sectionHeight, QSize size);
    static QList<QToolButton*> buttons(const ToolBox& box);

    QTemporaryDir iconDir;
    QString expandedIcon;
    QString collapsedIcon;
};

void TestToolBox::initTestCase()
{
    // Two single-colour icons, so the test can tell which one a state shows.
    QVERIFY(iconDir.isValid());
    expandedIcon = iconDir.filePath(QStringLiteral("down.png"));
    collapsedIcon = iconDir.filePath(QStringLiteral("right.png"));
    QImage image(12, 12, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(expandedIcon));
    image.fill(Qt::blue);
    QVERIFY(image.save(collapsedIcon));
}

std::unique_ptr<ToolBox> TestToolBox::makeToolBox(int count, int sectionHeight, QSize size)
{
    auto box = std::make_unique<ToolBox>();
    for (int i = 0; i < count; ++i) {
        auto* widget = new QWidget(box.get());
        widget->setObjectName(QStringLiteral("section%1").arg(i));
        widget->setFixedHeight(sectionHeight);
        box->addItem(widget, QStringLiteral("Section %1").arg(i), expandedIcon, collapsedIcon);
    }
    box->resize(size);
    box->show();
    if (!QTest::qWaitForWindowExposed(box.get()))
        return nullptr;
    return box;
}

QList<QToolButton*> TestToolBox::buttons(const ToolBox& box)
{
    QList<QToolButton*> found = box.findChildren<QToolButton*>();
    std::sort(found.begin(), found.end(), [](QToolButton* a, QToolButton* b) { return a->y() < b->y(); });
    return found;
}

void TestToolBox::sectionStartsOpen()
{
    auto box = makeToolBox(1, 80, QSize(300, 300));
    QVERIFY(box);
    auto* widget = box->findChild<QWidget*>(QStringLiteral("section0"));
    QVERIFY(widget->isVisible());

    const QList<QToolButton*> sectionButtons = buttons(*box);
    QCOMPARE(sectionButtons.size(), 1);
    QToolButton* button = sectionButtons.first();
    QVERIFY(button->isCheckable());
    QVERIFY(button->isChecked());
    QVERIFY(button->text().isEmpty());

    const QList<QLabel*> labels = box->findChildren<QLabel*>();
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first()->text(), QStringLiteral("Section 0"));
    QVERIFY(labels.first()->font().bold());
    // Header above the widget, widget across both columns.
    QVERIFY(button->geometry().bottom() < widget->geometry().top());
    QVERIFY(labels.first()->geometry().left() > button->geometry().right());
    QVERIFY(widget->geometry().right() >= labels.first()->geometry().left());
}

void TestToolBox::buttonShowsStateIcon_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("open shows expanded") << true << QColor(Qt::red);
    QTest::newRow("closed shows collapsed") << false << QColor(Qt::blue);
}

void TestToolBox::buttonShowsStateIcon()
{
    QFETCH(bool, open);
    QFETCH(QColor, colour);
    auto box = makeToolBox(1, 40, QSize(200, 200));
    QVERIFY(box);
    QToolButton* button = buttons(*box).first();
    const QImage image = button->icon().pixmap(QSize(12, 12), QIcon::Normal, open ? QIcon::On : QIcon::Off).toImage();
    QCOMPARE(image.pixelColor(6, 6), colour);
}

void TestToolBox::closingFirstMovesSecondUp()
{
    auto box = makeToolBox(2, 100, QSize(300, 400));
    QVERIFY(box);
    const QList<QToolButton*> sectionButtons = buttons(*box);
    QCOMPARE(sectionButtons.size(), 2);
    QToolButton* first = sectionButtons.at(0);
    QToolButton* second = sectionButtons.at(1);
    auto* firstWidget = box->findChild<QWidget*>(QStringLiteral("section0"));
    const int secondTop = second->y();
    QVERIFY(secondTop > firstWidget->geometry().bottom());

    QTest::mouseClick(first, Qt::LeftButton);
    QVERIFY(!first->isChecked());
    QVERIFY(!firstWidget->isVisible());
    QTRY_VERIFY(second->y() < secondTop - 90);
    // The second header now sits right under the first one.
    QVERIFY(second->y() > first->geometry().bottom());
    QVERIFY(second->y() - first->geometry().bottom() < 30);

    QTest::mouseClick(first, Qt::LeftButton);
    QVERIFY(firstWidget->isVisible());
    QTRY_COMPARE(second->y(), secondTop);
}

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
    auto box = makeToolBox(3, 50, QSize(300, 400));
    QVERIFY(box);
    QTest::mouseClick(buttons(*box).at(closed), Qt::LeftButton);
    for (int i = 0; i < 3; ++i) {
        auto* widget = box->findChild<QWidget*>(QStringLiteral("section%1").arg(i));
        QCOMPARE(widget->isVisible(), i != closed);
    }
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
