#include "dialogdriver.h"

#include "userinput.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTextEdit>

namespace {
QString armedScript;
QStringList* armedLog = nullptr;

void startArmedDriver()
{
    if (armedLog)
        new DialogDriver(std::exchange(armedScript, QString()), std::exchange(armedLog, nullptr), qApp);
}
Q_COREAPP_STARTUP_FUNCTION(startArmedDriver)

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
    if (!widget)
        return QStringLiteral("<missing>");
    if (enabledQuery)
        return QString::number(widget->isEnabled());
    if (auto* const list = qobject_cast<QComboBox*>(widget))
        return list->currentText();
    if (auto* const box = qobject_cast<QCheckBox*>(widget))
        return QString::number(box->isChecked());
    if (auto* const edit = qobject_cast<QTextEdit*>(widget))
        return edit->toPlainText();
    return QStringLiteral("<unknown kind>");
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
    } else if (verb == QLatin1String("file")) {
        auto* const files = qobject_cast<QFileDialog*>(root);
        auto* const name = root->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!files || !name)
            return QStringLiteral("no file dialog");
        name->setText(argument);
        static_cast<QDialog*>(files)->accept(); // what its Open or Save button does
    } else if (verb == QLatin1String("yes") || verb == QLatin1String("no")) {
        auto* const box = qobject_cast<QMessageBox*>(root);
        QAbstractButton* const button
            = box ? box->button(verb == QLatin1String("yes") ? QMessageBox::Yes : QMessageBox::No) : nullptr;
        if (!button)
            return QStringLiteral("no question with ") + verb;
        button->click();
    } else if (verb == QLatin1String("expect")) {
        const QString what = argument.section(QLatin1Char('='), 0, 0);
        const QString actual = shown(root, what);
        if (actual != argument.section(QLatin1Char('='), 1))
            return QStringLiteral("%1 shows \"%2\"").arg(what, actual);
    } else {
        return QStringLiteral("unknown step ") + step;
    }
    return {};
}

DialogDriver::DialogDriver(const QString& script, QStringList* log, QObject* parent)
    : QObject(parent)
    , log(log)
{
    // "\;" is a ';' inside a step.
    for (const QString& step : script.split(QRegularExpression(QStringLiteral("(?<!\\\\);")), Qt::SkipEmptyParts))
        steps << QString(step).replace(QStringLiteral("\\;"), QStringLiteral(";"));
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, &DialogDriver::poll);
    clock.start();
    timer.start();
}

void DialogDriver::armForNextApplication(const QString& script, QStringList* log)
{
    armedScript = script;
    armedLog = log;
}

void DialogDriver::poll()
{
    QWidget* const modal = QApplication::activeModalWidget();
    if (clock.elapsed() > 20000) {
        *log << QStringLiteral("timeout");
        timer.stop();
        rejectEverything();
    } else if (steps.isEmpty()) {
        if (modal) {
            *log << QStringLiteral("left open: ") + QLatin1String(modal->metaObject()->className());
            rejectEverything();
        }
        timer.stop();
    } else if (modal) {
        // Taken first: a step that opens a nested modal loop polls again
        // before it returns.
        const QString step = steps.takeFirst();
        const QString failure = performStep(modal, step);
        *log << (failure.isEmpty() ? step : QStringLiteral("failed: ") + failure);
    }
}

void DialogDriver::rejectEverything()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* const dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
            dialog->reject();
    }
}
