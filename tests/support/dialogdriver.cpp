#include "dialogdriver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

namespace {
// Chooses the entry as a user does: opens the popup, moves the highlight
// with the arrow keys and confirms with Return. Runs no event loop, so it
// can act inside a driver step of a modal dialog.
bool chooseEntry(QComboBox* list, const QString& text)
{
    const int target = list ? list->findText(text, Qt::MatchCaseSensitive) : -1;
    if (target >= 0)
        list->showPopup();
    if (target < 0 || !list->view()->isVisible())
        return false;
    QAbstractItemView* const view = list->view();
    int row = std::max(view->currentIndex().row(), 0);
    view->setCurrentIndex(view->model()->index(row, 0));
    for (; row != target; row += row < target ? 1 : -1)
        QTest::keyClick(view, row < target ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
    return !view->isVisible() && list->currentIndex() == target;
}

QString shown(QWidget* root, const QString& what)
{
    auto* const files = qobject_cast<QFileDialog*>(root);
    if (what == "title" || what == "active" || (files && what == "directory"))
        return what == "title" ? root->windowTitle()
            : what == "active" ? QString::number(root->isActiveWindow())
                               : files->directory().absolutePath();
    const bool enabledQuery = what.endsWith(".enabled");
    QWidget* const widget = root->findChild<QWidget*>(enabledQuery ? what.chopped(8) : what);
    if (!widget || enabledQuery)
        return widget ? QString::number(widget->isEnabled()) : QStringLiteral("<missing>");
    if (auto* const list = qobject_cast<QComboBox*>(widget))
        return list->currentText();
    if (auto* const box = qobject_cast<QCheckBox*>(widget))
        return QString::number(box->isChecked());
    auto* const edit = qobject_cast<QTextEdit*>(widget);
    return edit ? edit->toPlainText() : QStringLiteral("<unknown kind>");
}
} // namespace

QString performStep(QWidget* root, const QString& step)
{
    const QString verb = step.section(':', 0, 0);
    const QString argument = step.section(':', 1);
    auto* const files = qobject_cast<QFileDialog*>(root);
    auto* const box = qobject_cast<QMessageBox*>(root);
    if (verb == "ok" || verb == "cancel" || verb == "click") {
        const QString name = verb == "click" ? argument : verb == "ok" ? "buttonOk" : "buttonCancel";
        auto* const button = root->findChild<QAbstractButton*>(name);
        if (!button || !button->isVisible() || !button->isEnabled())
            return "cannot click " + name;
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (verb == "choose") {
        if (!chooseEntry(root->findChild<QComboBox*>(argument.section(':', 0, 0)), argument.section(':', 1)))
            return "cannot choose " + argument;
    } else if (verb == "escape") {
        QWidget* const focus = QApplication::focusWidget();
        QTest::keyClick(focus && root->isAncestorOf(focus) ? focus : root, Qt::Key_Escape);
    } else if (verb == "close") {
        root->close();
    } else if (files && verb == "file") {
        auto* const name = root->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name)
            return QStringLiteral("no file name field");
        name->setText(argument);
        static_cast<QDialog*>(files)->accept(); // what its Open or Save button does
    } else if (box && (verb == "yes" || verb == "no")) {
        QAbstractButton* const button = box->button(verb == "yes" ? QMessageBox::Yes : QMessageBox::No);
        if (!button)
            return "no button " + verb;
        button->click();
    } else if (verb == "expect") {
        const QString what = argument.section('=', 0, 0);
        if (const QString actual = shown(root, what); actual != argument.section('=', 1))
            return QStringLiteral("%1 shows \"%2\"").arg(what, actual);
    } else {
        return "cannot do " + step + " on " + root->metaObject()->className();
    }
    return {};
}

QString performSteps(QWidget* root, const QString& script)
{
    for (const QString& step : script.split(';')) {
        if (const QString failure = performStep(root, step); !failure.isEmpty())
            return failure;
    }
    return {};
}

DialogDriver::DialogDriver(const QString& script, QStringList* log, QObject* parent)
    : QObject(parent)
    , log(log)
{
    for (const QString& step : script.split(QRegularExpression(QStringLiteral("(?<!\\\\);")), Qt::SkipEmptyParts))
        steps << QString(step).replace(QStringLiteral("\\;"), QStringLiteral(";"));
    connect(&timer, &QTimer::timeout, this, &DialogDriver::poll);
    clock.start();
    timer.start(10);
}

void DialogDriver::poll()
{
    QWidget* const modal = QApplication::activeModalWidget();
    const bool late = clock.elapsed() > 20000;
    if (modal && !late && !steps.isEmpty()) {
        // Taken first: a step that opens a nested modal loop polls again
        // before it returns.
        const QString step = steps.takeFirst();
        const QString failure = performStep(modal, step);
        *log << (failure.isEmpty() ? step : "failed: " + failure);
        return;
    }
    if (late || modal) {
        *log << (late ? QStringLiteral("timeout") : QStringLiteral("left open: ") + modal->metaObject()->className());
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* const dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                dialog->reject();
        }
    }
    if (steps.isEmpty() || late)
        timer.stop();
}
