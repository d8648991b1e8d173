#ifndef VL_ENTRY_DIALOGPLACEMENT_H
#define VL_ENTRY_DIALOGPLACEMENT_H

#include "platform/platform.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// Position that centres a dialog of the given size over a host window,
// kept on the desktop. Each half is divided separately with truncation toward
// zero; the lower bounds are the desktop's left and top, the upper bounds its
// width and height less the dialog's (sizes, not edges). When the dialog is
// larger than the desktop the upper bound wins.
QPoint centredPosition(const Platform::WindowRect& host, const QSize& dialog, const QRect& desktop);

#endif
