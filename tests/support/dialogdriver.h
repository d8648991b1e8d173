#ifndef VL_SUPPORT_DIALOGDRIVER_H
#define VL_SUPPORT_DIALOGDRIVER_H

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QWidget;

// Performs one step of a script on `root` as a user would and returns what
// went wrong, or an empty string. Steps:
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

// Acts on the modal widgets of a run (a script of steps separated by ';',
// "\;" standing for a ';' inside a step), so a test can drive a dialog whose
// exec() it cannot return from: one step at a time, each on the widget that is
// modal at that moment (the settings dialog, or a file dialog or question box
// it opened). Every step appends its name to `log`, or "failed: <what>";
// a modal widget still open after the last step ("left open: <class>") or at
// the deadline ("timeout") is rejected, so nothing hangs.
class DialogDriver : public QObject
{
    Q_OBJECT

public:
    // Starts at once; needs the application object.
    DialogDriver(const QString& script, QStringList* log, QObject* parent = nullptr);
    // For a host without an application object: a driver starts in the one the
    // library creates for the next call and ends with it.
    static void armForNextApplication(const QString& script, QStringList* log);

private:
    void poll();
    void rejectEverything();

    QStringList steps;
    QStringList* log;
    QTimer timer;
    QElapsedTimer clock;
};

#endif
