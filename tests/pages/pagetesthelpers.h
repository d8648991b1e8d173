#ifndef VELTRANO_PAGETESTHELPERS_H
#define VELTRANO_PAGETESTHELPERS_H

#include "model/configstate.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QMetaType>
#include <QSignalSpy>
#include <QTest>

// QSignalSpy stores the emitted state in a QVariant.
Q_DECLARE_METATYPE(ConfigItem)

inline void registerStateType()
{
    qRegisterMetaType<ConfigState>("ConfigState");
}

// The one state carried by a single emission recorded by `spy`.
inline ConfigState spiedState(const QSignalSpy& spy, int emission = 0)
{
    return spy.at(emission).at(0).value<ConfigState>();
}

// Chooses the entry with `text` as a user does: opens the list's popup,
// moves the highlight there with the arrow keys and confirms with Return.
// Returns false when the popup did not open or the entry does not exist.
inline bool chooseEntry(QComboBox* list, const QString& text)
{
    const int target = list->findText(text, Qt::MatchCaseSensitive);
    if (target < 0)
        return false;
    list->showPopup();
    QAbstractItemView* view = list->view();
    if (!QTest::qWaitFor([view] { return view->isVisible(); }, 2000))
        return false;
    view->setFocus();
    int row = view->currentIndex().isValid() ? view->currentIndex().row() : 0;
    view->setCurrentIndex(view->model()->index(row, 0));
    for (; row < target; ++row)
        QTest::keyClick(view, Qt::Key_Down);
    for (; row > target; --row)
        QTest::keyClick(view, Qt::Key_Up);
    if (view->currentIndex().row() != target)
        return false;
    QTest::keyClick(view, Qt::Key_Return);
    return !view->isVisible();
}

#endif
