#include "entry/dialogplacement.h"

#include <QtTest>

class TestDialogPlacement : public QObject
{
    Q_OBJECT

private slots:
    void centredPosition_data()
    {
        QTest::addColumn<QRect>("host"); // left, top, right, bottom in x, y, width, height
        QTest::addColumn<QSize>("dialog");
        QTest::addColumn<QRect>("desktop");
        QTest::addColumn<QPoint>("expected");

        const QRect fullHd(0, 0, 1920, 1080);
        QTest::newRow("centred over the host")
            << QRect(100, 100, 900, 700) << QSize(501, 401) << fullHd << QPoint(250, 200);
        QTest::newRow("host at the right edge")
            << QRect(1700, 100, 1910, 700) << QSize(501, 401) << fullHd << QPoint(1419, 200);
        QTest::newRow("host at the bottom edge")
            << QRect(100, 900, 900, 1080) << QSize(501, 401) << fullHd << QPoint(250, 679);
        QTest::newRow("host past the left edge")
            << QRect(-400, 100, 200, 700) << QSize(501, 401) << fullHd << QPoint(0, 200);
        QTest::newRow("host above the top")
            << QRect(100, -500, 900, 100) << QSize(501, 401) << fullHd << QPoint(250, 0);
        QTest::newRow("dialog larger than the desktop")
            << QRect(100, 100, 900, 700) << QSize(2000, 1200) << fullHd << QPoint(-80, -120);
        // Halves are truncated toward zero separately: (-3 + 0) / 2 = -1,
        // 5 / 2 = 2, so -3 (flooring would give -4).
        QTest::newRow("negative halves truncate toward zero")
            << QRect(-3, -3, 0, 0) << QSize(5, 5) << QRect(-100, -100, 1920, 1080) << QPoint(-3, -3);
        // The lower bound is the desktop's left, the upper bound its width
        // less the dialog's, not its right edge.
        QTest::newRow("desktop not at the origin")
            << QRect(2500, 100, 2700, 300) << QSize(400, 100) << QRect(1920, 0, 1280, 1024) << QPoint(880, 150);
    }

    void centredPosition()
    {
        QFETCH(QRect, host);
        QFETCH(QSize, dialog);
        QFETCH(QRect, desktop);
        QFETCH(QPoint, expected);
        const Platform::WindowRect window { host.x(), host.y(), host.width(), host.height() };
        QCOMPARE(::centredPosition(window, dialog, desktop), expected);
    }
};

QTEST_APPLESS_MAIN(TestDialogPlacement)
#include "tst_dialogplacement.moc"
