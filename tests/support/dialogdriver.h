#ifndef VL_SUPPORT_DIALOGDRIVER_H
#define VL_SUPPORT_DIALOGDRIVER_H

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

// Acts on the modal dialog of a run as a user would, so a test can drive a
// dialog whose exec() it cannot return from. Steps run one at a time, each
// on the widget that is modal at that moment (the settings dialog, or a
// message box it opened). Every step leaves a line in the observations:
//
//   step <n> <command> -> open|closed    whether the widget it acted on is
//                                        still visible after the step
//   dump <k> <key>=<value>               from the k-th "dump" (1-based)
//   left open: <class>                   the script ended with a modal open;
//                                        it is rejected so nothing hangs
//   timeout                              the deadline passed; every dialog
//                                        is rejected
//
// Script commands (separated by ';'):
//   ok, cancel           click buttonOk or buttonCancel
//   escape               press Escape on the focused widget of the modal
//   close                close the modal widget (the window's close button)
//   dump                 record describe() of the modal widget
//   click:<name>         click the button with that object name
//   pick:<name>:<text>   choose an entry of a combo box as a user does, so
//                        it emits activated and textActivated
class DialogDriver : public QObject
{
    Q_OBJECT

public:
    using Action = std::function<void(QWidget* modal, DialogDriver& driver)>;

    explicit DialogDriver(QObject* parent = nullptr);

    // Adds the commands of a ';'-separated script; false if one is unknown
    // (the known ones are still added).
    bool addScript(const QString& script);
    // Adds a step of the test's own.
    void addAction(const QString& name, const Action& action);
    void setTimeout(int milliseconds) { timeoutMs = milliseconds; }
    // Receives every observation as it is recorded, e.g. to keep it past
    // the driver's life.
    void setSink(const std::function<void(const QString&)>& sink) { observationSink = sink; }
    void start();

    void record(const QString& line);
    QStringList observations() const { return recorded; }
    bool timedOut() const { return expired; }

    // key=value lines describing a modal widget and its named combo boxes,
    // text edits and tab widgets.
    static QStringList describe(QWidget* modal);

private:
    struct Step
    {
        QString name;
        Action action;
    };

    void poll();
    void rejectEverything();
    static Action commandAction(const QString& command);

    QList<Step> steps;
    int nextStep = 0;
    int dumps = 0;
    int timeoutMs = 30000;
    bool expired = false;
    QStringList recorded;
    std::function<void(const QString&)> observationSink;
    QTimer timer;
    QElapsedTimer clock;
};

#endif
