#ifndef VL_SUPPORT_DIALOGDRIVER_H
#define VL_SUPPORT_DIALOGDRIVER_H

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QWidget;

// Performs one step of a script on `root` as a user would; what went wrong,
// or an empty string. Steps:
//   ok, cancel             click buttonOk or buttonCancel with the mouse
//   click:<name>           click the button or check box with that name
//   choose:<list>:<text>   open the list's popup and choose the entry by keyboard
//   escape, close          press Escape in the window; close the window
//   file:<path>            type the path into a file dialog and accept it
//   yes, no                answer a question box
//   expect:<what>=<value>  compare what is shown: a list's current text, a
//                          check box's 0/1, a text edit's plain text,
//                          "<name>.enabled" 0/1, the window "title", whether
//                          it is the "active" window 0/1, or a file dialog's
//                          "directory"
QString performStep(QWidget* root, const QString& step);
// The steps of `script` (separated by ';') up to the first that fails.
QString performSteps(QWidget* root, const QString& script);

// Works through a script (steps separated by ';', "\;" for a ';' inside a
// step), each step on the widget that is modal at that moment, so a test can
// drive a dialog whose exec() it cannot return from. Every step appends its
// name to `log`, or "failed: <what>"; a modal widget still open after the
// last step ("left open: <class>") or at the deadline ("timeout") is
// rejected, so nothing hangs. Needs the application object.
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
