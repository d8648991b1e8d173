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
    const int target = list->findText(text, Qt::MatchCaseSensitive);
    QAbstractItemView* const view = list->view();
    if (target >= 0)
        list->showPopup();
    if (target < 0 || !view->isVisible())
        return false;
    int row = std::max(view->currentIndex().row(), 0);
    view->setCurrentIndex(view->model()->index(row, 0));
    for (; row != target; row += row < target ? 1 : -1)
        QTest::keyClick(view, row < target ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
    return !view->isVisible() && list->currentIndex() == target;
}

QString shown(QWidget* root, const QString& what)
{
    if (what == QLatin1String("title"))
        return root->windowTitle();
    if (what == QLatin1String("active"))
        return QString::number(root->isActiveWindow());
    if (auto* const files = qobject_cast<QFileDialog*>(root); files && what == QLatin1String("directory"))
        return files->directory().absolutePath();
    const bool enabledQuery = what.endsWith(QLatin1String(".enabled"));
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
    const QString verb = step.section(QLatin1Char(':'), 0, 0);
    const QString argument = step.section(QLatin1Char(':'), 1);
    if (verb == QLatin1String("ok") || verb == QLatin1String("cancel") || verb == QLatin1String("click")) {
        const QString name = verb == QLatin1String("click") ? argument
            : verb == QLatin1String("ok")                   ? QStringLiteral("buttonOk")
                                                            : QStringLiteral("buttonCancel");
        auto* const button = root->findChild<QAbstractButton*>(name);
        if (!button || !button->isVisible() || !button->isEnabled())
            return QStringLiteral("cannot click ") + name;
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (verb == QLatin1String("choose")) {
        auto* const list = root->findChild<QComboBox*>(argument.section(QLatin1Char(':'), 0, 0));
        if (!list || !chooseEntry(list, argument.section(QLatin1Char(':'), 1)))
            return QStringLiteral("cannot choose ") + argument;
    } else if (verb == QLatin1String("escape")) {
        QWidget* const focus = QApplication::focusWidget();
        QTest::keyClick(focus && root->isAncestorOf(focus) ? focus : root, Qt::Key_Escape);
    } else if (verb == QLatin1String("close")) {
        root->close();
    } else if (auto* const files = qobject_cast<QFileDialog*>(root); files && verb == QLatin1String("file")) {
        auto* const name = root->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name)
            return QStringLiteral("no file name field");
        name->setText(argument);
        static_cast<QDialog*>(files)->accept(); // what its Open or Save button does
    } else if (auto* const box = qobject_cast<QMessageBox*>(root);
               box && (verb == QLatin1String("yes") || verb == QLatin1String("no"))) {
        QAbstractButton* const button = box->button(verb == QLatin1String("yes") ? QMessageBox::Yes : QMessageBox::No);
        if (!button)
            return QStringLiteral("no button ") + verb;
        button->click();
    } else if (verb == QLatin1String("expect")) {
        const QString what = argument.section(QLatin1Char('='), 0, 0);
        const QString actual = shown(root, what);
        if (actual != argument.section(QLatin1Char('='), 1))
            return QStringLiteral("%1 shows \"%2\"").arg(what, actual);
    } else {
        return QStringLiteral("cannot do ") + step + QStringLiteral(" on ") + root->metaObject()->className();
    }
    return {};
}

QString performSteps(QWidget* root, const QString& script)
{
    for (const QString& step : script.split(QLatin1Char(';'))) {
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
        *log << (failure.isEmpty() ? step : QStringLiteral("failed: ") + failure);
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
