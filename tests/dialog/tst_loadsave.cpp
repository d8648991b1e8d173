// Loading and saving through the dialog's file dialogs, and loading by drag
// and drop, with in-test companion modules.
#include "dialogdriver.h"
#include "dialogfakes.h"
#include "rows.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

namespace {

const struct
{
    const char* name;
    const char* existing; // a file already there
    const char* typed; // into the file dialog
    const char* answer; // to the question whether to replace it
    const char* saved; // empty: nothing saved
    bool available; // the module hands out its save function
} saveRows[] = {
    { "no suffix", "", "settings", "", "settings.ini", true },
    { "upper-case suffix kept", "", "SETTINGS.CFG", "", "SETTINGS.CFG", true },
    { "other suffix extended", "", "notes.txt", "", "notes.txt.ini", true },
    { "existing, no", "taken.ini", "taken.ini", "no", "", true },
    { "existing, yes", "taken.cfg", "taken.cfg", "yes", "taken.cfg", true },
    { "existing, escape", "taken.ini", "taken.ini", "escape", "", true },
    { "exists only with .ini", "taken.ini", "taken", "yes", "taken.ini", true },
    { "typed name exists, extended does not", "taken", "taken", "", "taken.ini", true },
    { "no save function", "", "x.ini", "", "", false },
};

const struct
{
    const char* name;
    bool chosen; // else the file dialog is closed
    bool available;
    int loadResult;
    const char* shownPreset;
} loadRows[] = {
    { "loaded", true, true, 0, "MPEG-2 DVD" },
    { "module refuses", true, true, 1, "MPEG-1" },
    { "no load function", true, false, 0, "MPEG-1" },
    { "cancelled", false, true, 0, "MPEG-1" },
};

const struct
{
    const char* name;
    QStringList files; // empty: text instead of file addresses
    bool accepted;
} dropRows[] = {
    { "upper-case suffix", { "A.CFG" }, true },
    { "MPEG suffix", { "movie.Ts" }, true },
    { "other suffix", { "song.mp3" }, false },
    { "no suffix", { "settings" }, false },
    { "web address", { "http://example.org/a.cfg" }, false },
    { "only the first counts", { "song.mp3", "a.cfg" }, false },
    { "the first of two", { "first.cfg", "second.ini" }, true },
    { "no addresses", {}, false },
};

} // namespace

class TestLoadSave : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeModules> fakes;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TestableDialog> dialog;
    EncoderSettings host {};

    // Runs `script` on the modal widgets that `action` opens; the log of the
    // steps equals the script when each of them worked.
    static QStringList drive(const QString& script, const std::function<void()>& action)
    {
        QStringList log;
        const DialogDriver driver(script, &log);
        action();
        return log;
    }

    // The file dialog must open in the working directory first.
    static QString inWorkingDirectory(const QString& steps)
    {
        return QStringLiteral("expect:directory=%1;").arg(QDir(QStringLiteral("./")).absolutePath()) + steps;
    }

private slots:
    // Widget-based file dialogs, so the test can drive them.
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void init()
    {
        fakes = std::make_unique<FakeModules>();
        dir = std::make_unique<QTemporaryDir>();
        host = EncoderSettings {};
        host.layer = 2;
        host.bitrateIndex = 10;
        host.sampleFrequency = 48000;
        dialog = std::make_unique<TestableDialog>(&host, 0x31);
    }

    void cleanup()
    {
        dialog.reset();
        dir.reset();
        fakes.reset();
    }

    void save_data() { addRows(saveRows); }

    // Invalid settings are saved too: the check only shows what is wrong.
    void save()
    {
        const auto& [name, existing, typed, answer, saved, available] = currentRow(saveRows);
        QVERIFY(!*existing || QFile(dir->filePath(existing)).open(QIODevice::WriteOnly));
        fakes->saveAvailable = available;
        fakes->checkResult = 1;
        fakes->reports = { "eBitrate 448 is not allowed" };
        const QString script
            = inWorkingDirectory(QStringLiteral("file:") + dir->filePath(typed)) + (*answer ? ";" : "") + answer;
        QCOMPARE(drive(script, [this] { dialog->slotSaveSettings(); }), script.split(';'));
        QCOMPARE(fakes->savePaths, *saved ? QByteArrayList { dir->filePath(saved).toUtf8() } : QByteArrayList());
        const bool chosen = *saved || !available;
        QCOMPARE(fakes->checkCalls, int(chosen));
        QCOMPARE(child<QTextEdit>(*dialog, "errorLog")->toPlainText(),
            chosen ? QStringLiteral("Bitrate 448 is not allowed") : QString());
        QCOMPARE(dialog->lastSaveDir, chosen ? dir->path() : QStringLiteral("./"));
        QCOMPARE(dialog->lastLoadDir, QStringLiteral("./"));
    }

    void load_data() { addRows(loadRows); }

    // Only a load that worked is checked; the next load dialog opens where
    // the last file was chosen.
    void load()
    {
        const auto& [name, chosen, available, loadResult, shownPreset] = currentRow(loadRows);
        fakes->loadAvailable = available;
        fakes->loadResult = loadResult;
        const QString file = dir->filePath(QStringLiteral("stream.mpg"));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        const QString script = inWorkingDirectory(chosen ? QStringLiteral("file:") + file : QStringLiteral("close"));
        QCOMPARE(
            drive(script, [this] { QTest::mouseClick(child<QPushButton>(*dialog, "buttonLoad"), Qt::LeftButton); }),
            script.split(';'));
        QCOMPARE(fakes->loadPaths, chosen && available ? QByteArrayList { file.toUtf8() } : QByteArrayList {});
        QCOMPARE(fakes->checkCalls, int(chosen && available && loadResult == 0));
        QCOMPARE(child<QComboBox>(*dialog, "presetList")->currentText(), QLatin1String(shownPreset));
        QCOMPARE(dialog->lastLoadDir, chosen ? dir->path() : QStringLiteral("./"));
        QCOMPARE(dialog->lastSaveDir, QStringLiteral("./"));
        const QString again = chosen ? QStringLiteral("expect:directory=%1;close").arg(dir->path())
                                     : inWorkingDirectory(QStringLiteral("close"));
        QCOMPARE(drive(again, [this] { dialog->slotLoadSettings(); }), again.split(';'));
    }

    // A name from a file dialog reaches the module as its UTF-8 form read
    // back as 8-bit text and encoded again; a dropped one as plain UTF-8.
    void pathBytes()
    {
        const QString file = dir->filePath(QString::fromUtf8("caf\xC3\xA9.cfg"));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        const QString script = QStringLiteral("file:") + file;
        QCOMPARE(drive(script, [this] { dialog->slotLoadSettings(); }), QStringList { script });
        dialog->loadSettingsFile(file);
        const QByteArray directory = dir->path().toUtf8(); // ASCII
        QCOMPARE(fakes->loadPaths,
            (QByteArrayList { directory + "/caf\xC3\x83\xC2\xA9.cfg", directory + "/caf\xC3\xA9.cfg" }));
    }

    void dragAndDrop_data() { addRows(dropRows); }

    // A drop loads the first file only, checks and refreshes; a load the
    // module refuses is accepted as a drop all the same, with no check. The
    // toolkit delivers a drop only to the widget that accepted the drag.
    void dragAndDrop()
    {
        const auto& [name, files, accepted] = currentRow(dropRows);
        QList<QUrl> urls;
        for (const QString& file : files)
            urls << (file.startsWith(QLatin1String("http")) ? QUrl(file) : QUrl::fromLocalFile(dir->filePath(file)));
        QMimeData data;
        if (urls.isEmpty())
            data.setText(QStringLiteral("a.cfg"));
        else
            data.setUrls(urls);
        auto* const tabWidget = child<QTabWidget>(*dialog, "tabWidget");
        const auto dropped = [&] {
            QDragEnterEvent enter({ 20, 20 }, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(tabWidget, &enter);
            QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            if (enter.isAccepted())
                QApplication::sendEvent(tabWidget, &drop);
            return enter.isAccepted() && drop.isAccepted();
        };
        QCOMPARE(dropped(), accepted);
        QCOMPARE(
            fakes->loadPaths, accepted ? QByteArrayList { urls.first().toLocalFile().toUtf8() } : QByteArrayList());
        QCOMPARE(fakes->checkCalls, int(accepted));
        QCOMPARE(child<QComboBox>(*dialog, "presetList")->currentText(), accepted ? "MPEG-2 DVD" : "MPEG-1");
        QCOMPARE(dialog->lastLoadDir, QStringLiteral("./"));
        fakes->loadResult = 3;
        QCOMPARE(dropped(), accepted);
        QCOMPARE(fakes->checkCalls, int(accepted));
    }
};

QTEST_MAIN(TestLoadSave)
#include "tst_loadsave.moc"
