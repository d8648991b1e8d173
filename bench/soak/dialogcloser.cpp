#include "dialogcloser.h"

#include <QApplication>
#include <QDialog>

DialogCloser::DialogCloser(int ticksShown)
    : ticksShown(ticksShown)
{
    timer.setInterval(2);
    QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
    timer.start();
}

void DialogCloser::poll()
{
    QWidget* const modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) {
        ticksSeen = 0;
        return;
    }
    // Let the dialog lay out and paint before it goes.
    if (++ticksSeen < ticksShown) {
        return;
    }
    ticksSeen = 0;
    ++closedCount;
    if (auto* const dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}
