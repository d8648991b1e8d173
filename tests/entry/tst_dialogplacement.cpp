#include "entry/dialogplacement.h"
#include "rows.h"

#include <QtTest>

namespace {
const QRect fullHd(0, 0, 1920, 1080);

// name, host window (left, top, right, bottom as x, y, width, height), the
// dialog's size, the desktop, where the dialog goes
const std::tuple<const char*, QRect, QSize, QRect, QPoint> rows[] = {
    { "centred over the host", { 100, 100, 900, 700 }, { 501, 401 }, fullHd, { 250, 200 } },
    { "host at the right edge", { 1700, 100, 1910, 700 }, { 501, 401 }, fullHd, { 1419, 200 } },
    { "host at the bottom edge", { 100, 900, 900, 1080 }, { 501, 401 }, fullHd, { 250, 679 } },
    { "host past the left edge", { -400, 100, 200, 700 }, { 501, 401 }, fullHd, { 0, 200 } },
    { "host above the top", { 100, -500, 900, 100 }, { 501, 401 }, fullHd, { 250, 0 } },
    { "dialog larger than the desktop", { 100, 100, 900, 700 }, { 2000, 1200 }, fullHd, { -80, -120 } },
    // Halves are truncated toward zero separately: (-3 + 0) / 2 = -1, 5 / 2
    // = 2, so -3 (flooring would give -4).
    { "negative halves truncate toward zero", { -3, -3, 0, 0 }, { 5, 5 }, { -100, -100, 1920, 1080 }, { -3, -3 } },
    // The lower bound is the desktop's left, the upper bound its width less
    // the dialog's, not its right edge.
    { "desktop not at the origin", { 2500, 100, 2700, 300 }, { 400, 100 }, { 1920, 0, 1280, 1024 }, { 880, 150 } },
};
} // namespace

class TestDialogPlacement : public QObject
{
    Q_OBJECT

private slots:
    void centredPosition_data() { addRows(rows); }

    void centredPosition()
    {
        const auto& [name, host, dialog, desktop, expected] = currentRow(rows);
        const Platform::WindowRect window { host.x(), host.y(), host.width(), host.height() };
        QCOMPARE(::centredPosition(window, dialog, desktop), expected);
    }
};

QTEST_APPLESS_MAIN(TestDialogPlacement)
#include "tst_dialogplacement.moc"
