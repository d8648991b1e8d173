#include "logable.h"

#include <QTextEdit>

Logable::Logable(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , errorColor(180, 0, 0)
    , warningColor(0, 0, 180)
    , infoColor(20, 20, 20)
{
}

void Logable::setLogWidget(QTextEdit* widget)
{
    logWidget = widget;
}

QColor Logable::messageColor(MessageLevel level) const
{
    switch (level) {
    case Info:
        return infoColor;
    case Warning:
        return warningColor;
    case Error:
        return errorColor;
    }
    return QColor();
}

void Logable::setMessageColor(MessageLevel level, const QColor& color)
{
    switch (level) {
    case Info:
        infoColor = color;
        break;
    case Warning:
        warningColor = color;
        break;
    case Error:
        errorColor = color;
        break;
    }
}

void Logable::flushMessages()
{
    if (!logWidget)
        return;

    // Cleared on every flush, so the window only ever shows the latest check.
    logWidget->setText(QString());
    const struct
    {
        const QString& text;
        const QColor& color;
    } blocks[] = { { pendingError, errorColor }, { pendingWarning, warningColor }, { pendingInfo, infoColor } };
    for (const auto& block : blocks) {
        if (block.text.isEmpty())
            continue;
        logWidget->setTextColor(block.color);
        logWidget->append(block.text.trimmed());
    }

    pendingError.clear();
    pendingInfo.clear();
    pendingWarning.clear();
}

void Logable::slotOnLog(const QString& text, MessageLevel level)
{
    const QString line = text.trimmed() + QLatin1Char('\n');
    switch (level) {
    case Info:
        pendingInfo += line;
        break;
    case Warning:
        pendingWarning += line;
        break;
    case Error:
        pendingError += line;
        break;
    }
}
