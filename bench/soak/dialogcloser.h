#ifndef VL_SOAK_DIALOGCLOSER_H
#define VL_SOAK_DIALOGCLOSER_H

#include <QTimer>

// Cancels every modal dialog a few timer ticks after it was shown, so a
// dialog call returns without anyone at the keyboard. Arm it before the
// call; it keeps watching until it is destroyed.
class DialogCloser
{
public:
    explicit DialogCloser(int ticksShown = 3);

    // Dialogs closed so far.
    int closed() const { return closedCount; }

private:
    void poll();

    QTimer timer;
    int ticksShown;
    int ticksSeen = 0;
    int closedCount = 0;
};

#endif
