#ifndef VL_SUPPORT_DIALOGDRIVER_H
#define VL_SUPPORT_DIALOGDRIVER_H

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QWidget;

// Performs one step of a script on `root` as a user would; what went wrong,
// or an empty string. Steps: "ok", "cancel" and "click:<button or box>" click
// with the mouse; "choose:<list>:<text>" chooses from the popup by keyboard;
// "escape" presses Escape, "close" closes the window; "file:<path>" accepts
// a path in a file dialog; "yes" and "no" answer a question box;
// "expect:<what>=<value>" compares a list's text, a check box's 0/1, a text
// edit's text, "<name>.enabled", the window "title", "active" 0/1 or a file
// dialog's "directory".
QString performStep(QWidget* root, const QString& step);
// The steps of `script` (separated by ';') up to the first that fails.
QString performSteps(QWidget* root, const QString& script);

// Works through a script (steps separated by ';', "\;" for a ';' inside a
// step), each step on the widget modal at that moment, so a test can drive a
// dialog whose exec() it cannot return from. Each step appends its name to
// `log`, or "failed: <what>"; a modal widget still open after the last step
// ("left open: <class>") or at the deadline ("timeout") is rejected.
class DialogDriver : public QObject
{
    Q_OBJECT

public:
    DialogDriver(const QString& script, QStringList* log, QObject* parent = nullptr);

private:
    void poll();

    QStringList steps;
    QStringList* log;
    QTimer timer;
    QElapsedTimer clock;
};

#endif
