#ifndef VL_SCREENSHOTS_SKINSHOOTER_H
#define VL_SCREENSHOTS_SKINSHOOTER_H

#include <QDir>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QWidget;

// Waits for the modal settings dialog of a run, grabs it once per skin
// (switching skins with the keys the dialog understands) and then closes it.
class SkinShooter : public QObject
{
    Q_OBJECT

public:
    SkinShooter(const QDir& outputDir, QObject* parent = nullptr);

    void start();
    // Files written so far, and whatever went wrong.
    QStringList written() const { return files; }
    QStringList errors() const { return problems; }

private:
    void poll();
    void shoot(QWidget* dialog);
    bool save(QWidget* dialog, int key, const QString& name);

    QDir output;
    QTimer timer;
    int attempts = 0;
    QStringList files;
    QStringList problems;
};

#endif // VL_SCREENSHOTS_SKINSHOOTER_H
