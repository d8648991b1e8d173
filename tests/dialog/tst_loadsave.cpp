// Loading and saving through the dialog's file dialogs, and loading by drag
// and drop, with in-test companion modules.
#include "dialogdriver.h"
#include "dialogfakes.h"

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
    void cleanup();

    void save_data();
    void save();
    void load_data();
    void load();
    void pathBytes();
    void dragAndDrop_data();
    void dragAndDrop();

private:
    // Runs `script` on the modal widgets that `action` opens.
    QStringList drive(const QString& script, const std::function<void()>& action)
    {
        QStringList log;
        const DialogDriver driver(script, &log);
        action();
        return log;
    }

    std::unique_ptr<Fake::FakeModules> fakes;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TestableDialog> dialog;
    EncoderSettings host {};
};

void TestLoadSave::init()
{
    fakes = std::make_unique<Fake::FakeModules>();
    dir = std::make_unique<QTemporaryDir>();
    host = EncoderSettings {};
    host.layer = 2;
    host.bitrateIndex = 10;
    host.sampleFrequency = 48000;
    const DialogParams record = params(VL_FLAG_BASIC_SETTINGS | VL_FLAG_LOAD_SAVE | VL_FLAG_NO_INITIAL_CHECK);
    dialog = std::make_unique<TestableDialog>(&host, &record);
}

void TestLoadSave::cleanup()
{
    dialog.reset();
    dir.reset();
    fakes.reset();
}

void TestLoadSave::save_data()
{
    QTest::addColumn<QString>("existing"); // a file already there
    QTest::addColumn<QString>("script"); // %1: the temporary directory
    QTest::addColumn<QString>("saved"); // empty: nothing saved
    QTest::addColumn<bool>("available"); // the module hands out its save function

    QTest::newRow("no suffix") << ""
                               << "file:%1/settings"
                               << "settings.ini" << true;
    QTest::newRow("upper-case suffix kept") << ""
                                            << "file:%1/SETTINGS.CFG"
                                            << "SETTINGS.CFG" << true;
    QTest::newRow("other suffix extended") << ""
                                           << "file:%1/notes.txt"
                                           << "notes.txt.ini" << true;
    QTest::newRow("existing, no") << "taken.ini"
                                  << "file:%1/taken.ini;no"
                                  << "" << true;
    QTest::newRow("existing, yes") << "taken.cfg"
                                   << "file:%1/taken.cfg;yes"
                                   << "taken.cfg" << true;
    QTest::newRow("existing, escape") << "taken.ini"
                                      << "file:%1/taken.ini;escape"
                                      << "" << true;
    QTest::newRow("exists only with .ini") << "taken.ini"
                                           << "file:%1/taken;yes"
                                           << "taken.ini" << true;
    QTest::newRow("typed name exists, extended does not") << "taken"
                                                          << "file:%1/taken"
                                                          << "taken.ini" << true;
    QTest::newRow("no save function") << ""
                                      << "file:%1/x.ini"
                                      << "" << false;
}

// Invalid settings are saved too: the check only shows what is wrong.
void TestLoadSave::save()
{
    QFETCH(QString, existing);
    QFETCH(QString, script);
    QFETCH(QString, saved);
    QFETCH(bool, available);
    if (!existing.isEmpty())
        QVERIFY(QFile(dir->filePath(existing)).open(QIODevice::WriteOnly));
    Fake::state().saveAvailable = available;
    Fake::state().checkResult = 1;
    Fake::state().checkReports = { { Error, "Bitrate 448 is not allowed" } };

    script = QStringLiteral("expect:directory=%1;").arg(QDir(QStringLiteral("./")).absolutePath())
        + script.arg(dir->path());
    QCOMPARE(drive(script, [this] { dialog->slotSaveSettings(); }), script.split(';'));

    QCOMPARE(
        Fake::state().savePaths, saved.isEmpty() ? QByteArrayList() : QByteArrayList { dir->filePath(saved).toUtf8() });
    const bool chosen = !saved.isEmpty() || !available;
    QCOMPARE(Fake::state().checkCalls, int(chosen));
    QCOMPARE(child<QTextEdit>(*dialog, "errorLog")->toPlainText(),
        chosen ? QStringLiteral("Bitrate 448 is not allowed") : QString());
    QCOMPARE(dialog->lastSaveDir, chosen ? dir->path() : QStringLiteral("./"));
    QCOMPARE(dialog->lastLoadDir, QStringLiteral("./"));
}

void TestLoadSave::load_data()
{
    QTest::addColumn<QString>("answer"); // to the file dialog
    QTest::addColumn<bool>("available");
    QTest::addColumn<int>("loadResult");
    QTest::addColumn<int>("checks");
    QTest::addColumn<QString>("shownPreset");
    QTest::newRow("loaded") << "file:%1/stream.mpg" << true << 0 << 1 << QStringLiteral("MPEG-2 DVD");
    QTest::newRow("module refuses") << "file:%1/stream.mpg" << true << 1 << 0 << QStringLiteral("MPEG-1");
    QTest::newRow("no load function") << "file:%1/stream.mpg" << false << 0 << 0 << QStringLiteral("MPEG-1");
    QTest::newRow("cancelled") << "close" << true << 0 << 0 << QStringLiteral("MPEG-1");
}

void TestLoadSave::load()
{
    QFETCH(QString, answer);
    QFETCH(bool, available);
    QFETCH(int, loadResult);
    QFETCH(int, checks);
    QFETCH(QString, shownPreset);
    Fake::state().loadAvailable = available;
    Fake::state().loadResult = loadResult;
    const QString file = dir->filePath(QStringLiteral("stream.mpg"));
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    const bool chosen = answer != QLatin1String("close");

    const QString script = QStringLiteral("expect:directory=%1;").arg(QDir(QStringLiteral("./")).absolutePath())
        + answer.arg(dir->path());
    QCOMPARE(drive(script, [this] { QTest::mouseClick(child<QPushButton>(*dialog, "buttonLoad"), Qt::LeftButton); }),
        script.split(';'));
    QCOMPARE(Fake::state().loadPaths, chosen && available ? QByteArrayList { file.toUtf8() } : QByteArrayList {});
    QCOMPARE(Fake::state().checkCalls, checks);
    QCOMPARE(child<QComboBox>(*dialog, "presetList")->currentText(), shownPreset);
    QCOMPARE(dialog->lastLoadDir, chosen ? dir->path() : QStringLiteral("./"));
    QCOMPARE(dialog->lastSaveDir, QStringLiteral("./"));
    if (!chosen)
        return;
    // The next load dialog opens where the last file was chosen.
    const QString again = QStringLiteral("expect:directory=%1;close").arg(dir->path());
    QCOMPARE(drive(again, [this] { dialog->slotLoadSettings(); }), again.split(';'));
}

// A name from a file dialog reaches the module as its UTF-8 form read back as
// 8-bit text and encoded again; a dropped one as plain UTF-8.
void TestLoadSave::pathBytes()
{
    const QString file = dir->filePath(QString::fromUtf8("caf\xC3\xA9.cfg"));
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    const QString script = QStringLiteral("file:") + file;
    QCOMPARE(drive(script, [this] { dialog->slotLoadSettings(); }), QStringList { script });
    dialog->loadSettingsFile(file);
    const QByteArray directory = dir->path().toUtf8(); // ASCII
    QCOMPARE(Fake::state().loadPaths,
        (QByteArrayList { directory + "/caf\xC3\x83\xC2\xA9.cfg", directory + "/caf\xC3\xA9.cfg" }));
}

void TestLoadSave::dragAndDrop_data()
{
    QTest::addColumn<QStringList>("files"); // empty: text instead of file addresses
    QTest::addColumn<bool>("accepted");
    const QString web = QStringLiteral("http://example.org/a.cfg");
    QTest::newRow("upper-case suffix") << QStringList { "A.CFG" } << true;
    QTest::newRow("MPEG suffix") << QStringList { "movie.Ts" } << true;
    QTest::newRow("other suffix") << QStringList { "song.mp3" } << false;
    QTest::newRow("no suffix") << QStringList { "settings" } << false;
    QTest::newRow("web address") << QStringList { web } << false;
    QTest::newRow("only the first counts") << QStringList { "song.mp3", "a.cfg" } << false;
    QTest::newRow("the first of two") << QStringList { "first.cfg", "second.ini" } << true;
    QTest::newRow("no addresses") << QStringList() << false;
}

// A drop loads the first file only, checks and refreshes; a load the module
// refuses is accepted as a drop all the same, with no check.
void TestLoadSave::dragAndDrop()
{
    QFETCH(QStringList, files);
    QFETCH(bool, accepted);
    QList<QUrl> urls;
    for (const QString& file : files)
        urls << (file.startsWith(QLatin1String("http")) ? QUrl(file) : QUrl::fromLocalFile(dir->filePath(file)));
    QMimeData data;
    if (urls.isEmpty())
        data.setText(QStringLiteral("a.cfg"));
    else
        data.setUrls(urls);
    auto* const tabWidget = child<QTabWidget>(*dialog, "tabWidget");
    QCOMPARE(dragOnto(tabWidget, data, true), accepted);
    QCOMPARE(
        Fake::state().loadPaths, accepted ? QByteArrayList { urls.first().toLocalFile().toUtf8() } : QByteArrayList());
    QCOMPARE(Fake::state().checkCalls, int(accepted));
    QCOMPARE(child<QComboBox>(*dialog, "presetList")->currentText(), accepted ? "MPEG-2 DVD" : "MPEG-1");
    QCOMPARE(dialog->lastLoadDir, QStringLiteral("./"));
    Fake::state().loadResult = 3;
    QCOMPARE(dragOnto(tabWidget, data, true), accepted);
    QCOMPARE(Fake::state().checkCalls, int(accepted));
}

QTEST_MAIN(TestLoadSave)
#include "tst_loadsave.moc"
