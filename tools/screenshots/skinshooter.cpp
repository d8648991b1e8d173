#include "skinshooter.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPixmap>
#include <QWidget>

namespace {
// Give up after ten seconds without a dialog.
constexpr int pollIntervalMs = 50;
constexpr int maxAttempts = 200;
} // namespace

SkinShooter::SkinShooter(const QDir& outputDir, QObject* parent)
    : QObject(parent)
    , output(outputDir)
{
    timer.setInterval(pollIntervalMs);
    connect(&timer, &QTimer::timeout, this, &SkinShooter::poll);
}

void SkinShooter::start()
{
    timer.start();
}

void SkinShooter::poll()
{
    QWidget* const modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) {
        if (++attempts > maxAttempts) {
            timer.stop();
            problems << QStringLiteral("no dialog appeared");
        }
        return;
    }
    timer.stop();
    shoot(modal);
}

void SkinShooter::shoot(QWidget* dialog)
{
    save(dialog, Qt::Key_F5, QStringLiteral("default.png"));
    save(dialog, Qt::Key_F6, QStringLiteral("metal.png"));
    // Leave the dialog as it opened, then end the run without accepting.
    save(dialog, Qt::Key_F5, QString());
    if (auto* const asDialog = qobject_cast<QDialog*>(dialog))
        asDialog->reject();
    else
        dialog->close();
}

bool SkinShooter::save(QWidget* dialog, int key, const QString& name)
{
    // The dialog switches skins on key presses that reach it.
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog, &release);
    QCoreApplication::processEvents();
    if (name.isEmpty())
        return true;

    const QString path = output.filePath(name);
    if (!dialog->grab().save(path, "PNG")) {
        problems << QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    files << path;
    return true;
}
