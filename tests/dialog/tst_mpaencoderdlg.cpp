// MPAEncoderDlg on real widgets with in-test companion modules.
#include "dialog/mpaencoderdlg.h"
#include "dialogdriver.h"
#include "entry/moduleentrypoints.h"
#include "nonblocking.h"
#include "pages/basicpage.h"
#include "rows.h"
#include "settingsfields.h"
#include "widgets/errornotifier.h"

#include <QtTest>
#include <QtWidgets>
#include <sys/stat.h>

namespace {

// The in-test companion modules' state, reached through the entry points.
struct FakeModules
{
    int checkCalls = 0, checkResult = 0, loadResult = 0;
    QByteArrayList reports; // level letter 'e', 'w' or 'i', then the text
    QList<intptr_t> checkArguments; // callbacks, audio type, frequency, reserved word and pointer
    QList<int32_t> defaultsCalls; // the defaults write layer 1
    bool loadAvailable = true, saveAvailable = true;
    QByteArrayList loadPaths, savePaths;
} fakes;

int32_t fakeCheck(EncoderCallbacks* callbacks, const EncoderSettings*, int32_t type, int32_t frequency,
    int32_t reserved, void* pointer)
{
    ++fakes.checkCalls;
    fakes.checkArguments = { intptr_t(callbacks), type, frequency, reserved, intptr_t(pointer) };
    for (const QByteArray& report : fakes.reports) {
        const auto print = report[0] == 'e' ? callbacks->errorPrintf
            : report[0] == 'w'              ? callbacks->warningPrintf
                                            : callbacks->infoPrintf;
        print(callbacks->context, "%s", report.mid(1).constData());
    }
    return fakes.checkResult;
}

// Gives the tests the dialog's working state.
class TestableDialog : public MPAEncoderDlg
{
public:
    using MPAEncoderDlg::MPAEncoderDlg;
    using MPAEncoderDlg::presets;
    using MPAEncoderDlg::settings;
};

QStringList drive(const QString& script, const std::function<void()>& action)
{
    QStringList log;
    const DialogDriver driver(script, &log);
    action();
    return log;
}

// The texts of visible widgets whose glyphs overflow the room their style
// gives them, or that an ancestor cuts off at the side.
QStringList clippedTexts(QWidget& dialog)
{
    QStringList clipped;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        QList<std::pair<QString, QRect>> texts;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        if (const auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
            texts = { { label->text(), label->contentsRect() } };
            alignment = label->alignment();
        } else if (const auto* box = qobject_cast<QCheckBox*>(widget)) {
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = box->text();
            option.iconSize = box->iconSize();
            texts = { { box->text(), box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box) } };
        } else if (const auto* list = qobject_cast<QComboBox*>(widget)) {
            QStyleOptionComboBox option;
            option.initFrom(list);
            const QRect field
                = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
            for (int i = 0; i < list->count(); ++i)
                texts.append({ list->itemText(i), field });
        } else if (const auto* tabs = qobject_cast<QTabBar*>(widget)) {
            alignment = Qt::AlignCenter;
            for (int i = 0; i < tabs->count(); ++i) {
                QStyleOptionTab option;
                option.initFrom(tabs);
                option.rect = tabs->tabRect(i);
                option.text = tabs->tabText(i);
                option.shape = tabs->shape();
                option.position = tabs->count() == 1 ? QStyleOptionTab::OnlyOneTab : QStyleOptionTab::Middle;
                option.state |= i == tabs->currentIndex() ? QStyle::State_Selected : QStyle::State_None;
                texts.append({ option.text, tabs->style()->subElementRect(QStyle::SE_TabBarTabText, &option, tabs) });
            }
        }
        const QFontMetrics metrics = widget->fontMetrics();
        for (const auto& [text, room] : widget->isVisible() ? texts : decltype(texts)()) {
            const QSize line(metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent());
            QRect placed = QStyle::alignedRect(widget->layoutDirection(), alignment, line, room);
            const QRect ink
                = metrics.tightBoundingRect(text).translated(placed.left(), placed.top() + metrics.ascent());
            bool visible = line.width() <= room.width() && ink.top() >= room.top() && ink.bottom() <= room.bottom();
            for (const QWidget* ancestor = widget; visible && ancestor != &dialog;
                 ancestor = ancestor->parentWidget()) {
                visible = placed.left() >= 0 && placed.right() < ancestor->width();
                placed.translate(ancestor->pos());
            }
            if (!visible)
                clipped << widget->objectName() + QStringLiteral(": ") + text;
        }
    }
    return clipped;
}

const QByteArrayList error = { "enot for this audio type" };

// name, flags; what shows: tabs, load and save buttons, checks while
// opening, banner, colour of an error
const std::tuple<const char*, uint32_t, QString> flagRows[] = {
    { "none", 0, "0 0 0 1 #141414" },
    { "basic page", 0x1, "1 0 0 1 #141414" },
    { "load and save", 0x10, "0 1 1 1 #141414" },
    { "no initial check", 0x31, "1 1 0 1 #141414" },
    { "no initial check alone", 0x20, "0 0 0 1 #141414" },
    { "coloured messages", 0x40, "0 0 0 1 #b40000" },
    { "hidden banner", 0x1000, "0 0 0 0 #141414" },
    { "entry point bits ignored", 0x30000000, "0 0 0 1 #141414" },
};

// name, closing step, the check's result and reports, info window, accepted
const std::tuple<const char*, QString, int, QByteArrayList, const char*, bool> closingRows[] = {
    { "OK, passing with warnings", "ok", 0, { "wwarning", "isummary" }, "warning\nsummary", true },
    { "OK, failing check", "ok", 1, error, "not for this audio type", false },
    { "OK, negative result", "ok", -5, error, "not for this audio type", false },
    { "OK, failing without a word", "ok", 1, {}, "", false },
    { "Cancel", "cancel", 0, error, "", false },
    { "Escape", "escape", 0, error, "", false },
};

// name, flags, host fields, steps, fields written back, checks, the last
// check's audio type, audio types whose defaults were loaded
const std::tuple<const char*, uint32_t, const char*, const char*, const char*, int, int, QList<int32_t>>
    actionRows[] = {
        { "a list and a box", 0x1, "originalBit=1",
            "choose:bitrateList:320;click:originalCheck;expect:originalCheck=0;ok", "bitrateIndex=13 originalBit=0", 3,
            0, {} },
        { "another preset keeps the other settings", 0x1, "privateBit=5",
            "choose:presetList:MPEG-1 VideoCD;expect:layerList=Layer 2;ok", "privateBit=1", 2, VL_AUDIO_MPEG1_VCD, {} },
        { "restoring a preset loads its defaults", 0x1, "",
            "choose:presetList:MPEG-2 DVD;click:presetButton;expect:presetList=MPEG-2 DVD;expect:layerList=Layer 1;ok",
            "layer=1", 3, VL_AUDIO_MPEG2_DVD, { VL_AUDIO_MPEG2_DVD } },
        { "host audio type 0x1014 shows MPEG-2 DVD-VR", 0x1, "audioType=0x1014",
            "expect:presetList=MPEG-2 DVD-VR;click:privateCheck;ok", "privateBit=1", 2, VL_AUDIO_MPEG2_DVD_VR, {} },
        { "locked audio type", 0x2001, "audioType=4",
            "expect:presetList.enabled=0;choose:layerList:Layer 1;expect:presetList.enabled=0;click:presetButton;"
            "expect:presetList.enabled=0;expect:presetList=MPEG-2 DVD;ok",
            "layer=1", 3, VL_AUDIO_MPEG2_DVD, { VL_AUDIO_MPEG2_DVD } },
    };

// name, file there, name typed, answer to "overwrite?", file saved, save function
const std::tuple<const char*, const char*, const char*, const char*, const char*, bool> saveRows[] = {
    { "upper-case suffix kept", "", "SETTINGS.CFG", "", "SETTINGS.CFG", true },
    { "other suffix extended", "", "notes.txt", "", "notes.txt.ini", true },
    { "existing, no", "taken.ini", "taken.ini", "no", "", true },
    { "exists only with .ini", "taken.ini", "taken", "yes", "taken.ini", true },
    { "typed name exists, extended does not", "taken", "taken", "", "taken.ini", true },
    { "no save function", "", "x.ini", "", "", false },
};

// name, how a file is given ("choose" or "close" the load dialog, or "drop"
// these files, none: text), load function, its result, whether it is taken
const std::tuple<const char*, const char*, QStringList, bool, int, bool> loadRows[] = {
    { "chosen", "choose", {}, true, 0, true },
    { "chosen, module refuses", "choose", {}, true, 1, true },
    { "chosen, no load function", "choose", {}, false, 0, true },
    { "load dialog closed", "close", {}, true, 0, false },
    { "first of two dropped", "drop", { "caf\u00e9.Ts", "second.ini" }, true, 0, true },
    { "dropped, module refuses", "drop", { "a.cfg" }, true, 3, true },
    { "only the first drop counts", "drop", { "song.mp3", "a.cfg" }, true, 0, false },
    { "no addresses dropped", "drop", {}, true, 0, false },
};

// name, translation, host banner (null: none), flags; only regular files
// are read as banners: a FIFO would block the dialog
const std::tuple<const char*, QString, const char*, uint32_t> lookRows[] = {
    { "en, no banner", "", nullptr, 0 },
    { "de, unreadable banner", "de", "absent.png", 0 },
    { "jp, host banner hidden", "jp", "banner.png", VL_FLAG_HIDE_BANNER },
    { "de, FIFO without a writer", "de", "fifo", 0 },
    { "jp, character device", "jp", "/dev/zero", 0 },
    { "en, directory", "", ".", 0 },
};

} // namespace

class TestMPAEncoderDlg : public QObject
{
    Q_OBJECT

    const QString here = QStringLiteral("expect:directory=") + QDir(QStringLiteral("./")).absolutePath();
    EncoderSettings host {};
    std::unique_ptr<TestableDialog> dialog;

    // Shows a dialog on hostBlock(fields); true once it is on screen.
    bool open(uint32_t flags, const QString& fields = {}, const char* banner = nullptr)
    {
        dialog.reset(); // first: a dialog releases the resources when it goes
        host = hostBlock(fields);
        const DialogParams params { flags, 0, 0, nullptr, banner, {} };
        dialog = std::make_unique<TestableDialog>(&host, &params);
        dialog->show();
        return QTest::qWaitForWindowExposed(dialog.get());
    }

    template<typename T = QWidget>
    T* child(const char* name) const
    {
        T* const widget = dialog->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); // file dialogs the driver can work
        // Debian's desktop font, which Qt 6's offscreen platform uses too.
        QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
        using namespace ModuleEntryPoints;
        mpegOutAudioChkSettings = fakeCheck;
        mpegOutAudioDefaults = [](EncoderSettings* settings, int32_t audioType) {
            fakes.defaultsCalls.append(audioType);
            settings->layer = 1;
            return 0;
        };
        mpaConfigGetAPIExt = [](int32_t id) -> MPAConfigFileFunc {
            const MPAConfigFileFunc load = [](EncoderSettings* settings, const char* path) {
                fakes.loadPaths.append(path);
                settings->audioType = VL_AUDIO_MPEG2_DVD; // even when it fails
                return fakes.loadResult;
            };
            const MPAConfigFileFunc save
                = [](EncoderSettings*, const char* path) { return (fakes.savePaths << path), 0; };
            return id == VL_CONFIG_API_LOAD && fakes.loadAvailable ? load
                : id == VL_CONFIG_API_SAVE && fakes.saveAvailable  ? save
                                                                   : nullptr;
        };
    }

    void init() { fakes = FakeModules {}; }

    void flags_data() { addRows(flagRows); }

    void flags()
    {
        const auto& [name, flags, shown] = currentRow(flagRows);
        fakes.reports = { "etoo early" }; // before the dialog listens
        QVERIFY(open(flags, QStringLiteral("audioType=3 sampleFrequency=44100")));
        auto* const errorLog = child<QTextEdit>("errorLog");
        QCOMPARE(errorLog->toPlainText(), QString());
        fakes.checkResult = 1;
        QVERIFY(!dialog->validateSettings());
        auto* const tabWidget = child<QTabWidget>("tabWidget");
        auto* const presetList = child<QComboBox>("presetList");
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(tabWidget->count())
                     .arg(child("buttonLoad")->isVisible() && child("buttonSave")->isVisible())
                     .arg(fakes.checkCalls - 1)
                     .arg(child("bannerFrame")->isVisible())
                     .arg(errorLog->document()->begin().begin().fragment().charFormat().foreground().color().name()),
            shown);
        QVERIFY(child("presetButton")->isEnabled() && presetList->isEnabled());
        QCOMPARE(bool(qobject_cast<BasicPage*>(tabWidget->widget(0))), tabWidget->count() == 1);
        QCOMPARE(fakes.checkArguments,
            (QList<intptr_t> { intptr_t(&ErrorNotifier::instance()->callbacks), VL_AUDIO_MPEG2_SVCD, 44100, 0, 0 }));
        QStringList names;
        for (int i = 0; i < presetList->count(); ++i)
            names << presetList->itemText(i);
        QCOMPARE(names, dialog->presets.keys()); // in name order
        QCOMPARE(MPAEncoderDlg::maximumHeightFor(1050), 997);
        QCOMPARE(dialog->maximumHeight(),
            MPAEncoderDlg::maximumHeightFor(QGuiApplication::primaryScreen()->availableGeometry().height()));
        fakes = FakeModules {};
        QVERIFY(dialog->validateSettings());
        QCOMPARE(errorLog->toPlainText(), QString()); // a check without reports empties it
    }

    void closing_data() { addRows(closingRows); }

    // OK runs the check once and closes only when it passes; only OK writes
    // back, and only the record half.
    void closing()
    {
        const auto& [name, step, checkResult, reports, shown, accepted] = currentRow(closingRows);
        QVERIFY(open(VL_FLAG_BASIC_SETTINGS));
        auto* const working = reinterpret_cast<unsigned char*>(&dialog->settings);
        for (size_t i = 0; i < sizeof(EncoderSettings); ++i)
            working[i] = static_cast<unsigned char>(255 - i % 251);
        EncoderSettings expected = hostBlock();
        std::memcpy(&expected, working, accepted ? VL_SETTINGS_RECORD_SIZE : 0);
        fakes.checkResult = checkResult;
        fakes.reports = reports;
        QCOMPARE(performStep(dialog.get(), step), QString());
        QCOMPARE(fakes.checkCalls, int(step == QLatin1String("ok")));
        QCOMPARE(dialog->isVisible(), step == QLatin1String("ok") && !accepted);
        QCOMPARE(dialog->result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(child<QTextEdit>("errorLog")->toPlainText(), QLatin1String(shown));
        QCOMPARE(blockDifference(host, expected), QString());
    }

    void userActions_data() { addRows(actionRows); }

    void userActions()
    {
        const auto& [name, flags, fields, script, written, checks, checkedType, defaults] = currentRow(actionRows);
        QVERIFY(open(flags, fields));
        QCOMPARE(performSteps(dialog.get(), script), QString());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(blockDifference(host, withFields(hostBlock(fields), written)), QString());
        QCOMPARE(fakes.checkCalls, checks);
        QCOMPARE(int(fakes.checkArguments.value(1)), checkedType);
        QCOMPARE(fakes.defaultsCalls, defaults);
    }

    void looks_data() { addRows(lookRows); }

    // F6 switches to the "metal" skin, F5 back; under each the buttons have
    // the skin's size and no text is clipped.
    void looks()
    {
        const auto& [name, language, banner, flags] = currentRow(lookRows);
        QVERIFY2(language != "jp" || QRawFont::fromFont(QFont(), QFontDatabase::Japanese).supportsCharacter(0x8A2D),
            "no font with Japanese glyphs (scripts/setup installs one)");
        QTranslator translator;
        QVERIFY(language.isEmpty() || translator.load("gui_mpa_" + language, QStringLiteral(VL_QM_DIR)));
        QCoreApplication::installTranslator(&translator);
        QTemporaryDir dir;
        QPixmap image(120, 40);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(dir.filePath(QStringLiteral("banner.png")), "PNG"));
        const QByteArray path = dir.filePath(QString::fromLatin1(banner)).toLatin1();
        QVERIFY(qstrcmp(banner, "fifo") != 0 || mkfifo(path.constData(), 0600) == 0);
        bool shown = false;
        const auto opening = [&] { shown = open(flags | 0x71, {}, banner ? path.constData() : nullptr); };
        QVERIFY(returnsWithoutBlocking(opening, path.toStdString()));
        dialog->setMaximumHeight(QWIDGETSIZE_MAX); // the offscreen screen is only 600 pixels high
        dialog->adjustSize();
        QVERIFY(shown && QTest::qWaitForWindowExposed(dialog.get()));
        const QLabel* const bannerFrame = child<QLabel>("bannerFrame");
        const bool hostImage = qstrcmp(banner, "banner.png") == 0;
        const QString defaultSheet = dialog->styleSheet();
        QVERIFY(!defaultSheet.isEmpty());
        for (const Qt::Key key : { Qt::Key_F8, Qt::Key_F6, Qt::Key_F7, Qt::Key_F5 }) {
            const QString before = dialog->styleSheet();
            QTest::keyClick(dialog.get(), key);
            QCoreApplication::processEvents();
            QCOMPARE(dialog->styleSheet() == before, key != Qt::Key_F6 && key != Qt::Key_F5);
            QCOMPARE(bannerFrame->pixmap(Qt::ReturnByValue).size(), hostImage ? QSize(120, 40) : QSize(382, 75));
            QCOMPARE(bannerFrame->alignment(), hostImage ? Qt::Alignment(Qt::AlignCenter) : QLabel().alignment());
            QCOMPARE(bannerFrame->isVisible(), flags == 0);
            const int side = dialog->styleSheet() == defaultSheet ? 24 : 20;
            for (const char* name : { "presetButton", "buttonLoad", "buttonSave", "buttonOk", "buttonCancel" })
                QCOMPARE(child(name)->size(), QSize(side, side));
            const QStringList clipped = clippedTexts(*dialog);
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
        }
        QCOMPARE(dialog->styleSheet(), defaultSheet);
        dialog->setSkin(QStringLiteral("no such skin"));
        QCOMPARE(dialog->styleSheet(), QString());
    }

    void save_data() { addRows(saveRows); }

    // Invalid settings are saved too: the check only shows what is wrong.
    void save()
    {
        const auto& [name, existing, typed, answer, saved, available] = currentRow(saveRows);
        QTemporaryDir dir;
        QVERIFY(!*existing || QFile(dir.filePath(existing)).open(QIODevice::WriteOnly));
        QVERIFY(open(0x31));
        fakes.saveAvailable = available;
        fakes.checkResult = 1;
        fakes.reports = { "eBitrate 448 is not allowed" };
        const QString script = here + ";file:" + dir.filePath(typed) + (*answer ? ";" : "") + answer;
        QCOMPARE(drive(script, [&] { dialog->slotSaveSettings(); }), script.split(';'));
        QCOMPARE(fakes.savePaths, *saved ? QByteArrayList { dir.filePath(saved).toUtf8() } : QByteArrayList());
        const bool chosen = *saved || !available;
        QCOMPARE(fakes.checkCalls, int(chosen));
        QCOMPARE(child<QTextEdit>("errorLog")->toPlainText(), chosen ? "Bitrate 448 is not allowed" : "");
        const QString again = (chosen ? "expect:directory=" + dir.path() : here) + ";close";
        QCOMPARE(drive(again, [&] { dialog->slotSaveSettings(); }), again.split(';'));
        QCOMPARE(drive(here + ";close", [&] { dialog->slotLoadSettings(); }), QStringList({ here, "close" }));
    }

    void load_data() { addRows(loadRows); }

    // Only a load that worked is checked. The module gets a chosen name's UTF-8
    // form read back as 8-bit text and encoded again, a dropped one plain UTF-8.
    void load()
    {
        const auto& [name, how, files, available, loadResult, taken] = currentRow(loadRows);
        QTemporaryDir dir;
        QVERIFY(open(0x31));
        fakes.loadAvailable = available;
        fakes.loadResult = loadResult;
        QByteArray path = dir.path().toUtf8() + "/caf\xC3\x83\xC2\xA9.mpg"; // the directory is ASCII
        if (qstrcmp(how, "drop") != 0) {
            const QString file = dir.filePath(QString::fromUtf8("caf\xC3\xA9.mpg"));
            QVERIFY(QFile(file).open(QIODevice::WriteOnly));
            const QString script = here + (taken ? ";file:" + file : QStringLiteral(";close"));
            const auto click = [&] { QTest::mouseClick(child<QPushButton>("buttonLoad"), Qt::LeftButton); };
            QCOMPARE(drive(script, click), script.split(';'));
        } else {
            QList<QUrl> urls;
            for (const QString& file : files)
                urls << QUrl::fromLocalFile("/tmp/" + file);
            QMimeData data;
            urls.isEmpty() ? data.setText(QStringLiteral("a.cfg")) : data.setUrls(urls);
            QDragEnterEvent enter({ 20, 20 }, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(child("tabWidget"), &enter);
            QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCOMPARE(
                enter.isAccepted() && (QApplication::sendEvent(child("tabWidget"), &drop), drop.isAccepted()), taken);
            path = urls.value(0).toLocalFile().toUtf8();
        }
        const bool loaded = taken && available && loadResult == 0;
        QCOMPARE(fakes.loadPaths, taken && available ? QByteArrayList { path } : QByteArrayList {});
        QCOMPARE(fakes.checkCalls, int(loaded));
        QCOMPARE(child<QComboBox>("presetList")->currentText(), loaded ? "MPEG-2 DVD" : "MPEG-1");
        const QString again
            = (taken && qstrcmp(how, "choose") == 0 ? "expect:directory=" + dir.path() : here) + ";close";
        QCOMPARE(drive(again, [&] { dialog->slotLoadSettings(); }), again.split(';'));
        QCOMPARE(drive(here + ";close", [&] { dialog->slotSaveSettings(); }), QStringList({ here, "close" }));
    }
};

QTEST_MAIN(TestMPAEncoderDlg)
#include "tst_mpaencoderdlg.moc"
