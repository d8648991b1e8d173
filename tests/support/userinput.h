#ifndef VL_SUPPORT_USERINPUT_H
#define VL_SUPPORT_USERINPUT_H

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

// Chooses the entry with `text` as a user does: opens the list's popup,
// moves the highlight there with the arrow keys and confirms with Return.
// Runs no event loop, so it can act inside a driver step of a modal dialog.
// Returns false when the popup did not open or the entry does not exist.
inline bool chooseEntry(QComboBox* list, const QString& text)
{
    const int target = list->findText(text, Qt::MatchCaseSensitive);
    if (target < 0)
        return false;
    list->showPopup();
    QAbstractItemView* view = list->view();
    if (!view->isVisible())
        return false;
    int row = view->currentIndex().isValid() ? view->currentIndex().row() : 0;
    view->setCurrentIndex(view->model()->index(row, 0));
    for (; row < target; ++row)
        QTest::keyClick(view, Qt::Key_Down);
    for (; row > target; --row)
        QTest::keyClick(view, Qt::Key_Up);
    if (view->currentIndex().row() != target) {
        list->hidePopup();
        return false;
    }
    QTest::keyClick(view, Qt::Key_Return);
    return !view->isVisible();
}

#endif
