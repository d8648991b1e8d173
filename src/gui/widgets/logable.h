#ifndef VL_WIDGETS_LOGABLE_H
#define VL_WIDGETS_LOGABLE_H

#include "errornotifier.h"

#include <QColor>
#include <QDialog>
#include <QString>

class QTextEdit;

// A dialog that collects the messages of one settings check per level and
// then shows them in its info window, most severe first, each level in its
// own colour.
class Logable : public QDialog
{
    Q_OBJECT

public:
    explicit Logable(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    void setLogWidget(QTextEdit* widget);

    // Invalid colour for a value outside the three levels.
    QColor messageColor(MessageLevel level) const;
    void setMessageColor(MessageLevel level, const QColor& color);

    // Replaces the info window's contents with the pending messages and
    // empties them; without a widget everything stays pending.
    virtual void flushMessages();

public slots:
    virtual void slotOnLog(const QString& text, MessageLevel level);

protected:
    QTextEdit* logWidget = nullptr; // not owned: belongs to the dialog's form

private:
    QString pendingInfo;
    QString pendingWarning;
    QString pendingError;
    QColor errorColor;
    QColor warningColor;
    QColor infoColor;
};

#endif
