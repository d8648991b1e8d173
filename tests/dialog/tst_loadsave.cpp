#include "dialogfakes.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <cstring>
#include <functional>
#include <type_traits>

namespace {

EncoderSettings hostSettings()
{
    EncoderSettings settings;
    std::memset(&settings, 0, sizeof settings);
    settings.layer = 2;
    settings.bitrateIndex = 10;
    settings.sampleFrequency = 48000;
    settings.audioType = VL_AUDIO_MPEG1;
    return settings;
}

// Answers the next modal widget of type T with `action`, which must close it.
// Whatever modal widget is still open after a few seconds is rejected, so a
// test never hangs on a dialog it did not expect.
template<typename T>
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(T*)> action)
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this, action]() {
            QWidget* const modal = QApplication::activeModalWidget();
            if (deadline.hasExpired()) {
                timer.stop();
                if (auto* const open = qobject_cast<QDialog*>(modal)) {
                    qWarning("closing a modal dialog the test did not close: %s", open->metaObject()->className());
                    open->reject();
                }
                return;
            }
            if (seen) {
                if (!answered || !answered->isVisible())
                    timer.stop();
                return;
            }
            if (T* const wanted = qobject_cast<T*>(modal)) {
                seen = true;
                answered = wanted;
                if constexpr (std::is_same_v<T, QFileDialog>)
                    openedIn = wanted->directory().absolutePath();
                action(wanted);
            }
        });
        timer.start();
    }

    bool seen = false;
    QString openedIn; // directory of a file dialog when it was answered

private:
    QTimer timer;
    QPointer<T> answered;
    QDeadlineTimer deadline { 5000 };
};

// Types an absolute path into the file dialog's name field, as a user may.
void typeFileName(QFileDialog* dialog, const QString& path)
{
    auto* const nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(nameEdit);
    nameEdit->setText(path);
}

// Picks `path` in the next file dialog and accepts it.
std::unique_ptr<ModalAnswer<QFileDialog>> chooseFile(const QString& path)
{
    return std::make_unique<ModalAnswer<QFileDialog>>([path](QFileDialog* dialog) {
        typeFileName(dialog, path);
        static_cast<QDialog*>(dialog)->accept(); // what the Save or Open button does
    });
}

// Drags `data` over the tab widget and, with `drop`, drops it there; the
// toolkit delivers a drop only to the widget that accepted the drag.
bool dragOnto(QWidget* tabWidget, const QMimeData& data, bool drop)
{
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tabWidget, &enter);
    if (!drop || !enter.isAccepted())
        return enter.isAccepted();
    QDropEvent dropEvent(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tabWidget, &dropEvent);
    return dropEvent.isAccepted();
}

} // namespace

class TestLoadSave : public QObject
{
    Q_OBJECT

private slots:
    // Widget-based file dialogs, so the test can drive them.
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }
    void init();
    void cleanup()
    {
        dir.reset();
        fakes.reset();
    }

    void saveName_data();
    void saveName();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void saveInvalidSettings();
    void saveWithoutFunction();
    void load_data();
    void load();
    void cancelledLoad();
    void pathBytes_data();
    void pathBytes();
    void dragEnter_data();
    void dragEnter();
    void dropLoadsFirstFileOnly();

private:
    std::unique_ptr<Fake::FakeModules> fakes;
    std::unique_ptr<QTemporaryDir> dir;
    EncoderSettings host;
};

void TestLoadSave::init()
{
    fakes = std::make_unique<Fake::FakeModules>();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    host = hostSettings();
}

void TestLoadSave::saveName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    // typed -> saved
    const QList<QPair<QString, QString>> names = { { "settings", "settings.ini" }, { "settings.cfg", "settings.cfg" },
        { "settings.ini", "settings.ini" }, { "SETTINGS.CFG", "SETTINGS.CFG" }, { "Settings.Ini", "Settings.Ini" },
        { "notes.txt", "notes.txt.ini" }, { "old.cfg.bak", "old.cfg.bak.ini" }, { "mycfg", "mycfg.ini" } };
    for (const auto& [typed, saved] : names)
        QTest::addRow("%s", qPrintable(typed)) << typed << saved;
}

void TestLoadSave::saveName()
{
    QFETCH(QString, typed);
    QFETCH(QString, saved);

    const DialogParams record = params(0x10);
    TestableDialog dialog(&host, &record);
    const auto answer(chooseFile(dir->filePath(typed)));
    QTest::mouseClick(child<QPushButton>(dialog, "buttonSave"), Qt::LeftButton);

    QVERIFY(answer->seen);
    QCOMPARE(answer->openedIn, QDir(QStringLiteral("./")).absolutePath());
    QCOMPARE(Fake::state().savePaths, QByteArrayList { dir->filePath(saved).toUtf8() });
    QCOMPARE(dialog.lastSaveDir, QFileInfo(dir->path()).absoluteFilePath());
    QCOMPARE(dialog.lastLoadDir, QStringLiteral("./"));
    QVERIFY(Fake::state().loadPaths.isEmpty());
}

void TestLoadSave::overwriteQuestion_data()
{
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer"); // 0: no question expected
    QTest::addColumn<bool>("saved");

    const auto row = [](const char* name, const char* existing, const char* typed, int answer, bool saved) {
        QTest::newRow(name) << QString::fromLatin1(existing) << QString::fromLatin1(typed) << answer << saved;
    };
    row("new file", "", "fresh.ini", 0, true);
    row("existing, No", "taken.ini", "taken.ini", QMessageBox::No, false);
    row("existing, Yes", "taken.ini", "taken.ini", QMessageBox::Yes, true);
    row("existing, Escape", "taken.cfg", "taken.cfg", -1, false);
    row("exists only with .ini, No", "taken.ini", "taken", QMessageBox::No, false);
    row("exists only with .ini, Yes", "taken.ini", "taken", QMessageBox::Yes, true);
    row("typed name exists, extended does not", "taken", "taken", 0, true);
}

void TestLoadSave::overwriteQuestion()
{
    QFETCH(QString, existing);
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, saved);

    if (!existing.isEmpty()) {
        QFile file(dir->filePath(existing));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    const DialogParams record = params(0x10);
    TestableDialog dialog(&host, &record);
    std::unique_ptr<ModalAnswer<QMessageBox>> question;
    const QString typedPath = dir->filePath(typed);
    ModalAnswer<QFileDialog> fileAnswer([&](QFileDialog* fileDialog) {
        question = std::make_unique<ModalAnswer<QMessageBox>>([&](QMessageBox* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Veltrano MPEG-1/2 Audio Encoder"));
            QCOMPARE(box->text(), QStringLiteral("File already exists.\nDo you want to overwrite it?"));
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            QVERIFY(!box->defaultButton());
            if (answer == 0)
                box->button(QMessageBox::No)->click(); // not expected; closed all the same
            else if (answer < 0)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(static_cast<QMessageBox::StandardButton>(answer))->click();
        });
        typeFileName(fileDialog, typedPath);
        static_cast<QDialog*>(fileDialog)->accept();
    });
    dialog.slotSaveSettings();

    QVERIFY(fileAnswer.seen);
    QVERIFY(question);
    QCOMPARE(question->seen, answer != 0);
    if (saved) {
        QCOMPARE(Fake::state().savePaths.size(), 1);
        QCOMPARE(dialog.lastSaveDir, QFileInfo(dir->path()).absoluteFilePath());
    } else {
        QVERIFY(Fake::state().savePaths.isEmpty());
        QCOMPARE(dialog.lastSaveDir, QStringLiteral("./"));
    }
}

void TestLoadSave::saveInvalidSettings()
{
    const DialogParams record = params(0x30);
    TestableDialog dialog(&host, &record);
    Fake::state().checkResult = 1;
    Fake::state().checkReports = { { Error, "Bitrate 448 is not allowed" } };

    const auto answer(chooseFile(dir->filePath(QStringLiteral("broken.cfg"))));
    dialog.slotSaveSettings();
    QCOMPARE(Fake::state().checkCalls, 1);
    QCOMPARE(Fake::state().savePaths.size(), 1);
    QCOMPARE(child<QTextEdit>(dialog, "errorLog")->toPlainText(), QStringLiteral("Bitrate 448 is not allowed"));
}

void TestLoadSave::saveWithoutFunction()
{
    Fake::state().saveAvailable = false;
    const DialogParams record = params(0x30);
    TestableDialog dialog(&host, &record);
    const auto answer(chooseFile(dir->filePath(QStringLiteral("x.ini"))));
    dialog.slotSaveSettings();
    QVERIFY(answer->seen);
    QVERIFY(Fake::state().savePaths.isEmpty());
    QCOMPARE(dialog.lastSaveDir, QFileInfo(dir->path()).absoluteFilePath());
}

void TestLoadSave::load_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<int>("loadResult");
    QTest::addColumn<int>("checks");
    QTest::addColumn<QString>("shownPreset");
    QTest::newRow("loaded") << true << 0 << 1 << QStringLiteral("MPEG-2 DVD");
    QTest::newRow("module refuses") << true << 1 << 0 << QStringLiteral("MPEG-1");
    QTest::newRow("no load function") << false << 0 << 0 << QStringLiteral("MPEG-1");
}

void TestLoadSave::load()
{
    QFETCH(bool, available);
    QFETCH(int, loadResult);
    QFETCH(int, checks);
    QFETCH(QString, shownPreset);

    Fake::state().loadAvailable = available;
    Fake::state().loadResult = loadResult;
    const QString file = dir->filePath(QStringLiteral("stream.mpg"));
    QFile(file).open(QIODevice::WriteOnly);

    const DialogParams record = params(0x30);
    TestableDialog dialog(&host, &record);
    auto* const presetList = child<QComboBox>(dialog, "presetList");
    QCOMPARE(presetList->currentText(), QStringLiteral("MPEG-1"));

    const auto answer(chooseFile(file));
    QTest::mouseClick(child<QPushButton>(dialog, "buttonLoad"), Qt::LeftButton);
    QVERIFY(answer->seen);
    QCOMPARE(answer->openedIn, QDir(QStringLiteral("./")).absolutePath());

    QCOMPARE(Fake::state().loadPaths, available ? QByteArrayList { file.toUtf8() } : QByteArrayList {});
    QCOMPARE(Fake::state().checkCalls, checks);
    QCOMPARE(presetList->currentText(), shownPreset);
    QCOMPARE(dialog.lastLoadDir, QFileInfo(dir->path()).absoluteFilePath());
    QCOMPARE(dialog.lastSaveDir, QStringLiteral("./"));

    // The next load dialog opens where the last file was chosen.
    const auto second = chooseFile(file);
    dialog.slotLoadSettings();
    QCOMPARE(second->openedIn, QFileInfo(dir->path()).absoluteFilePath());
}

void TestLoadSave::cancelledLoad()
{
    const DialogParams record = params(0x30);
    TestableDialog dialog(&host, &record);
    ModalAnswer<QFileDialog> answer([](QFileDialog* fileDialog) { fileDialog->reject(); });
    dialog.slotLoadSettings();
    QVERIFY(answer.seen);
    QVERIFY(Fake::state().loadPaths.isEmpty());
    QCOMPARE(dialog.lastLoadDir, QStringLiteral("./"));
}

// The file dialogs hand the module the UTF-8 form read back as 8-bit text
// and encoded again; drops hand it plain UTF-8.
void TestLoadSave::pathBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("dialogTail");
    QTest::addColumn<QByteArray>("dropTail");
    QTest::newRow("ascii") << QStringLiteral("plain.cfg") << QByteArray("/plain.cfg") << QByteArray("/plain.cfg");
    QTest::newRow("e acute") << QString::fromUtf8("caf\xC3\xA9.cfg") << QByteArray("/caf\xC3\x83\xC2\xA9.cfg")
                             << QByteArray("/caf\xC3\xA9.cfg");
}

void TestLoadSave::pathBytes()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, dialogTail);
    QFETCH(QByteArray, dropTail);

    const QString file = dir->filePath(name);
    QFile(file).open(QIODevice::WriteOnly);
    const QByteArray dirBytes = dir->path().toUtf8(); // ASCII

    const DialogParams record = params(0x30);
    TestableDialog dialog(&host, &record);
    const auto answer(chooseFile(file));
    dialog.slotLoadSettings();
    QVERIFY(answer->seen);

    dialog.loadSettingsFile(file);
    QCOMPARE(Fake::state().loadPaths, (QByteArrayList { dirBytes + dialogTail, dirBytes + dropTail }));
}

void TestLoadSave::dragEnter_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<bool>("accepted");

    const auto local = [](const char* name) { return QUrl::fromLocalFile(QStringLiteral("/data/") + name); };
    for (const char* name : { "a.cfg", "A.CFG", "movie.Ts", "movie.mpg" })
        QTest::addRow("%s", name) << QList<QUrl> { local(name) } << true;
    for (const char* name : { "song.mp3", "x.tar.gz", "settings" })
        QTest::addRow("%s", name) << QList<QUrl> { local(name) } << false;
    QTest::newRow("web address") << QList<QUrl> { QUrl(QStringLiteral("http://example.org/a.cfg")) } << false;
    QTest::newRow("first refused, second fine") << QList<QUrl> { local("song.mp3"), local("a.cfg") } << false;
    QTest::newRow("first fine, second refused") << QList<QUrl> { local("a.cfg"), local("song.mp3") } << true;
    QTest::newRow("no urls") << QList<QUrl> {} << false;
}

void TestLoadSave::dragEnter()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(bool, accepted);

    const DialogParams record = params(0x1);
    TestableDialog dialog(&host, &record);
    auto* const tabWidget = child<QTabWidget>(dialog, "tabWidget");
    QMimeData data;
    if (urls.isEmpty())
        data.setText(QStringLiteral("a.cfg"));
    else
        data.setUrls(urls);
    QCOMPARE(dragOnto(tabWidget, data, false), accepted);
    QVERIFY(Fake::state().loadPaths.isEmpty());
}

void TestLoadSave::dropLoadsFirstFileOnly()
{
    const DialogParams record = params(0x1);
    TestableDialog dialog(&host, &record);
    auto* const tabWidget = child<QTabWidget>(dialog, "tabWidget");
    auto* const presetList = child<QComboBox>(dialog, "presetList");

    const QString first = dir->filePath(QStringLiteral("first.cfg"));
    const QString second = dir->filePath(QStringLiteral("second.ini"));
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(first), QUrl::fromLocalFile(second) });
    QVERIFY(dragOnto(tabWidget, data, true));
    QCOMPARE(Fake::state().loadPaths, QByteArrayList { first.toUtf8() });
    QCOMPARE(Fake::state().checkCalls, 1);
    QCOMPARE(presetList->currentText(), QStringLiteral("MPEG-2 DVD"));
    QCOMPARE(dialog.lastLoadDir, QStringLiteral("./"));

    // A refused load is accepted as a drop all the same, with no check.
    Fake::state().loadResult = 3;
    QVERIFY(dragOnto(tabWidget, data, true));
    QCOMPARE(Fake::state().loadPaths.size(), 2);
    QCOMPARE(Fake::state().checkCalls, 1);
}

QTEST_MAIN(TestLoadSave)
#include "tst_loadsave.moc"
