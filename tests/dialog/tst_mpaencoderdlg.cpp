// MPAEncoderDlg on real widgets with in-test companion modules: what the
// flags show, how the user's actions travel through the change loop (control,
// working copy, refresh, check) and what the ways of closing write back.
#include "dialogdriver.h"
#include "dialogfakes.h"
#include "pages/basicpage.h"
#include "settingsfields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTranslator>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A host block whose every byte is known: MPEG-1 Layer II, joint stereo,
// 224 kbps at 48 kHz, then `fields`.
EncoderSettings hostBlock(const QString& fields = QString())
{
    EncoderSettings settings;
    auto* const bytes = reinterpret_cast<unsigned char*>(&settings);
    for (size_t i = 0; i < sizeof settings; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    return withFields(settings,
        QStringLiteral("layer=2 mode=1 psychModel=1 bitrateIndex=11 emphasis=0 privateBit=0 errorProtection=0 "
                       "copyrightBit=0 originalBit=0 audioType=0 sampleFrequency=48000 ")
            + fields);
}

// One text a widget shows and the room its style gives that text, in the
// widget's coordinates.
struct ShownText
{
    QString text;
    QRect room;
    Qt::Alignment alignment;
};

QList<ShownText> shownTexts(QWidget& widget)
{
    QList<ShownText> texts;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    if (const auto* label = qobject_cast<QLabel*>(&widget)) {
        if (!label->text().isEmpty())
            texts.append({ label->text(), label->contentsRect(), label->alignment() });
    } else if (const auto* box = qobject_cast<QCheckBox*>(&widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        option.iconSize = box->iconSize();
        texts.append({ box->text(), box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box), left });
    } else if (const auto* list = qobject_cast<QComboBox*>(&widget)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        option.frame = list->hasFrame();
        const QRect field
            = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        for (int i = 0; i < list->count(); ++i)
            texts.append({ list->itemText(i), field, left });
    } else if (const auto* tabs = qobject_cast<QTabBar*>(&widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            QStyleOptionTab option;
            option.initFrom(tabs);
            option.rect = tabs->tabRect(i);
            option.text = tabs->tabText(i);
            option.shape = tabs->shape();
            option.documentMode = tabs->documentMode();
            option.position = tabs->count() == 1 ? QStyleOptionTab::OnlyOneTab : QStyleOptionTab::Middle;
            if (i == tabs->currentIndex())
                option.state |= QStyle::State_Selected;
            texts.append({ option.text, tabs->style()->subElementRect(QStyle::SE_TabBarTabText, &option, tabs),
                Qt::AlignCenter });
        }
    }
    return texts;
}

// Every text of the visible widgets that does not fit the room its widget
// gives it, or that an ancestor cuts off at the side (scroll areas show no
// horizontal scroll bar).
QStringList clippedTexts(QWidget& dialog)
{
    QStringList clipped;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (!widget->isVisible())
            continue;
        const QFontMetrics metrics = widget->fontMetrics();
        for (const ShownText& shown : shownTexts(*widget)) {
            // The line is placed in its room as the style aligns it; its
            // glyphs must fit the room, across and down.
            const QSize line(metrics.horizontalAdvance(shown.text), metrics.ascent() + metrics.descent());
            const QRect text = QStyle::alignedRect(widget->layoutDirection(), shown.alignment, line, shown.room);
            const QRect ink
                = metrics.tightBoundingRect(shown.text).translated(text.left(), text.top() + metrics.ascent());
            bool visible = line.width() <= shown.room.width() && ink.top() >= shown.room.top()
                && ink.bottom() <= shown.room.bottom();
            QRect inAncestor = text;
            for (const QWidget* ancestor = widget; visible && ancestor != &dialog;
                 ancestor = ancestor->parentWidget()) {
                visible = inAncestor.left() >= 0 && inAncestor.right() < ancestor->width();
                inAncestor.translate(ancestor->pos());
            }
            if (!visible) {
                clipped << QString::asprintf("%s \"%s\": needs %d across, glyphs at %d..%d down; gets %dx%d at %d",
                    qPrintable(widget->objectName()), qPrintable(shown.text), line.width(), ink.top(), ink.bottom(),
                    shown.room.width(), shown.room.height(), shown.room.top());
            }
        }
    }
    return clipped;
}

// Runs `run` while a thread waits two seconds, then opens `fifo` for
// writing and closes it, which ends a read that waits on it: a run that
// would hang finishes instead. True when a reader was waiting.
template<typename Run>
bool waitedOnFifo(const QByteArray& fifo, Run run)
{
    std::atomic<bool> done { false };
    bool waited = false;
    std::thread writer([&] {
        for (int i = 0; i < 200 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const int descriptor = done ? -1 : ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        waited = descriptor >= 0;
        if (waited)
            ::close(descriptor);
    });
    run();
    done = true;
    writer.join();
    return waited;
}

} // namespace

class TestMPAEncoderDlg : public QObject
{
    Q_OBJECT

private slots:
    void init() { fakes = std::make_unique<Fake::FakeModules>(); }
    void cleanup() { fakes.reset(); }

    void flags_data();
    void flags();
    void closing_data();
    void closing();
    void userActions_data();
    void userActions();
    void buttonSizesPerSkin_data();
    void buttonSizesPerSkin();
    void skinsAndBanner_data();
    void skinsAndBanner();
    void noTextClipped_data();
    void noTextClipped();

private:
    std::unique_ptr<Fake::FakeModules> fakes;
};

void TestMPAEncoderDlg::flags_data()
{
    QTest::addColumn<uint>("flags");
    // Tabs, load and save buttons shown, checks while opening, preset list
    // enabled, banner shown, colour of an error.
    QTest::addColumn<QString>("shown");
    QTest::newRow("none") << 0u << "0 0 0 1 1 #141414";
    QTest::newRow("basic page") << 0x1u << "1 0 0 1 1 #141414";
    QTest::newRow("load and save") << 0x10u << "0 1 1 1 1 #141414";
    QTest::newRow("no initial check") << 0x31u << "1 1 0 1 1 #141414";
    QTest::newRow("no initial check alone") << 0x20u << "0 0 0 1 1 #141414";
    QTest::newRow("coloured messages") << 0x40u << "0 0 0 1 1 #b40000";
    QTest::newRow("hidden banner") << 0x1000u << "0 0 0 1 0 #141414";
    QTest::newRow("locked audio type") << 0x2000u << "0 0 0 0 1 #141414";
    QTest::newRow("entry point bits ignored") << 0x30000000u << "0 0 0 1 1 #141414";
}

void TestMPAEncoderDlg::flags()
{
    QFETCH(uint, flags);
    QFETCH(QString, shown);
    // The check while opening runs before the dialog listens to the
    // notifier, so the info window opens empty whatever it reported.
    Fake::state().checkReports = { { Error, "too early" } };
    EncoderSettings host = hostBlock(QStringLiteral("audioType=3 sampleFrequency=44100"));
    const DialogParams record = params(flags);
    TestableDialog dialog(&host, &record);
    QCOMPARE(child<QTextEdit>(dialog, "errorLog")->toPlainText(), QString());
    Fake::state().checkResult = 1;
    QVERIFY(!dialog.validateSettings());
    auto* const tabWidget = child<QTabWidget>(dialog, "tabWidget");
    const QTextBlock line = child<QTextEdit>(dialog, "errorLog")->document()->begin();
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6")
                 .arg(tabWidget->count())
                 .arg(!child<QPushButton>(dialog, "buttonLoad")->isHidden()
                     && !child<QPushButton>(dialog, "buttonSave")->isHidden())
                 .arg(Fake::state().checkCalls - 1)
                 .arg(child<QComboBox>(dialog, "presetList")->isEnabled())
                 .arg(!child<QLabel>(dialog, "bannerFrame")->isHidden())
                 .arg(line.begin().fragment().charFormat().foreground().color().name()),
        shown);
    QVERIFY(child<QPushButton>(dialog, "presetButton")->isEnabled());
    if (tabWidget->count())
        QCOMPARE(tabWidget->widget(0), static_cast<QWidget*>(dialog.basicSettingsPage));
    // The check sees the working copy, the type and frequency, and the
    // notifier's callbacks.
    const Fake::State& fake = Fake::state();
    QCOMPARE(fake.checkCallbacks, static_cast<const EncoderCallbacks*>(&ErrorNotifier::instance()->callbacks));
    QCOMPARE(QList<int32_t>({ fake.checkedAudioType, fake.checkedFrequency, fake.checkedReserved }),
        QList<int32_t>({ VL_AUDIO_MPEG2_SVCD, 44100, 0 }));
    QCOMPARE(fake.checkedReservedPointer, static_cast<const void*>(nullptr));
    // The preset list is in name order; the height fits the screen.
    const auto* const presetList = child<QComboBox>(dialog, "presetList");
    for (int i = 0; i < presetList->count(); ++i)
        QCOMPARE(presetList->itemText(i), dialog.presets.keys().at(i));
    QCOMPARE(MPAEncoderDlg::maximumHeightFor(1050), 997);
    QCOMPARE(dialog.maximumHeight(),
        MPAEncoderDlg::maximumHeightFor(QGuiApplication::primaryScreen()->availableGeometry().height()));
    // A later check that reports nothing empties the window.
    Fake::state().checkReports.clear();
    Fake::state().checkResult = 0;
    QVERIFY(dialog.validateSettings());
    QCOMPARE(child<QTextEdit>(dialog, "errorLog")->toPlainText(), QString());
}

void TestMPAEncoderDlg::closing_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<int32_t>("checkResult");
    QTest::addColumn<QByteArrayList>("reports"); // level letter ('e', 'w', 'i'), then the text
    QTest::addColumn<QString>("shown"); // in the info window afterwards
    QTest::addColumn<bool>("accepted");
    const QByteArrayList error = { "enot for this audio type" };
    const QString errorShown = QStringLiteral("not for this audio type");
    QTest::newRow("OK, passing check") << "ok" << 0 << QByteArrayList() << QString() << true;
    QTest::newRow("OK, passing with warnings")
        << "ok" << 0 << QByteArrayList { "wfirst warning", "isummary", "wsecond warning" }
        << "first warning\nsecond warning\nsummary" << true;
    QTest::newRow("OK, failing check") << "ok" << 1 << error << errorShown << false;
    QTest::newRow("OK, failing without a word") << "ok" << 1 << QByteArrayList() << QString() << false;
    QTest::newRow("OK, negative result") << "ok" << -5 << error << errorShown << false;
    QTest::newRow("Cancel") << "cancel" << 0 << error << QString() << false;
    QTest::newRow("Escape") << "escape" << 0 << error << QString() << false;
    QTest::newRow("window closed") << "close" << 0 << error << QString() << false;
}

// OK runs the check once: a failing one keeps the dialog open, a passing one
// closes it, and either way the info window shows what the check said. Only
// OK writes back, and only the record half.
void TestMPAEncoderDlg::closing()
{
    QFETCH(QString, step);
    QFETCH(int32_t, checkResult);
    QFETCH(QByteArrayList, reports);
    QFETCH(QString, shown);
    QFETCH(bool, accepted);

    EncoderSettings host = hostBlock();
    const EncoderSettings before = host;
    const DialogParams record = params(VL_FLAG_BASIC_SETTINGS);
    TestableDialog dialog(&host, &record);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // Change both halves of the working copy.
    auto* const working = reinterpret_cast<unsigned char*>(&dialog.settings);
    for (size_t i = 0; i < sizeof(EncoderSettings); ++i)
        working[i] = static_cast<unsigned char>(255 - i % 251);
    EncoderSettings expected = before;
    if (accepted)
        std::memcpy(&expected, working, VL_SETTINGS_RECORD_SIZE);

    Fake::state().checkResult = checkResult;
    for (const QByteArray& report : reports)
        Fake::state().checkReports.append({ report.at(0) == 'e' ? Error
                : report.at(0) == 'w'                           ? Warning
                                                                : Info,
            report.mid(1) });
    QCOMPARE(performStep(&dialog, step), QString());
    QCOMPARE(Fake::state().checkCalls, int(step == QLatin1String("ok")));
    QCOMPARE(dialog.isVisible(), step == QLatin1String("ok") && !accepted);
    QCOMPARE(dialog.result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(child<QTextEdit>(dialog, "errorLog")->toPlainText(), shown);
    QCOMPARE(blockDifference(host, expected), QString());
}

void TestMPAEncoderDlg::userActions_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QString>("host"); // fields changed from hostBlock()
    QTest::addColumn<QString>("script"); // steps of the user, see performStep()
    QTest::addColumn<QString>("written"); // fields OK writes back changed
    QTest::addColumn<int>("checks");
    QTest::addColumn<int>("checkedType"); // audio type of the last check
    QTest::addColumn<QList<int32_t>>("defaults"); // audio types whose defaults were loaded

    QTest::newRow("Layer I at index 14 shows 448") << 0x1u << "bitrateIndex=14"
                                                   << "expect:bitrateList=384;choose:layerList:Layer 1;"
                                                      "expect:bitrateList=448;ok"
                                                   << "layer=1" << 2 << 0 << QList<int32_t>();
    QTest::newRow("Mono rewrites a copyright word of 7 as 1") << 0x1u << "copyrightBit=7"
                                                              << "expect:copyrightCheck=1;choose:modeList:Mono;ok"
                                                              << "mode=3 copyrightBit=1" << 2 << 0 << QList<int32_t>();
    QTest::newRow("every list and box")
        << 0x1u << "originalBit=1"
        << "choose:bitrateList:320;choose:psychList:Model 2;choose:emphasisList:CCITT J.17;"
           "choose:modeList:Dual Channel;click:privateCheck;click:copyrightCheck;click:crcCheck;"
           "click:originalCheck;expect:originalCheck=0;ok"
        << "bitrateIndex=13 psychModel=2 emphasis=3 mode=2 privateBit=1 copyrightBit=1 errorProtection=1 "
           "originalBit=0"
        << 9 << 0 << QList<int32_t>();
    // Only the audio type changes, which lies outside the written-back half;
    // the flag words are rewritten as 0 or 1 all the same.
    QTest::newRow("another preset keeps the other settings")
        << 0x1u << "privateBit=5"
        << "choose:presetList:MPEG-1 VideoCD;expect:presetList=MPEG-1 VideoCD;expect:layerList=Layer 2;ok"
        << "privateBit=1" << 2 << int(VL_AUDIO_MPEG1_VCD) << QList<int32_t>();
    QTest::newRow("restoring a preset loads its defaults")
        << 0x1u << ""
        << "choose:presetList:MPEG-2 DVD;click:presetButton;expect:presetList=MPEG-2 DVD;"
           "expect:layerList=Layer 1;ok"
        << "layer=1" << 3 << int(VL_AUDIO_MPEG2_DVD) << QList<int32_t> { VL_AUDIO_MPEG2_DVD };
    // 0x1014 has no preset; it resolves to 16, and 16 to the DVD-VR preset.
    QTest::newRow("host audio type 0x1014 shows MPEG-2 DVD-VR")
        << 0x1u << "audioType=0x1014"
        << "expect:presetList=MPEG-2 DVD-VR;click:privateCheck;ok"
        << "privateBit=1" << 2 << int(VL_AUDIO_MPEG2_DVD_VR) << QList<int32_t>();
    // Refreshes never enable a locked preset list; restoring still works.
    QTest::newRow("locked audio type")
        << 0x2001u << "audioType=4"
        << "expect:presetList.enabled=0;choose:layerList:Layer 1;expect:presetList.enabled=0;click:presetButton;"
           "expect:presetList.enabled=0;expect:presetList=MPEG-2 DVD;ok"
        << "layer=1" << 3 << int(VL_AUDIO_MPEG2_DVD) << QList<int32_t> { VL_AUDIO_MPEG2_DVD };
}

void TestMPAEncoderDlg::userActions()
{
    QFETCH(uint, flags);
    QFETCH(QString, host);
    QFETCH(QString, script);
    QFETCH(QString, written);
    QFETCH(int, checks);
    QFETCH(int, checkedType);
    QFETCH(QList<int32_t>, defaults);

    EncoderSettings block = hostBlock(host);
    const DialogParams record = params(flags);
    TestableDialog dialog(&block, &record);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const QString& step : script.split(QLatin1Char(';'))) {
        const QString failure = performStep(&dialog, step);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(blockDifference(block, withFields(hostBlock(host), written)), QString());
    QCOMPARE(Fake::state().checkCalls, checks);
    QCOMPARE(Fake::state().checkedAudioType, checkedType);
    QCOMPARE(Fake::state().defaultsCalls, defaults);
}

// Every push button has its skin's size on screen, also after a switch.
void TestMPAEncoderDlg::buttonSizesPerSkin_data()
{
    QTest::addColumn<QStringList>("skins"); // applied in this order
    QTest::addColumn<int>("side");
    QTest::newRow("default") << QStringList { "default" } << 24;
    QTest::newRow("metal") << QStringList { "metal" } << 20;
    QTest::newRow("metal, then default") << QStringList { "metal", "default" } << 24;
}

void TestMPAEncoderDlg::buttonSizesPerSkin()
{
    QFETCH(QStringList, skins);
    QFETCH(int, side);

    auto host = hostBlock();
    const DialogParams record = params(0x11);
    TestableDialog dialog(&host, &record);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const QString& skin : skins)
        dialog.setSkin(skin);
    QCoreApplication::processEvents();

    int checked = 0;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (!button->isVisible())
            continue;
        ++checked;
        const QString what
            = QStringLiteral("%1: %2x%3").arg(button->objectName()).arg(button->width()).arg(button->height());
        QVERIFY2(button->size() == QSize(side, side), qPrintable(what));
    }
    QCOMPARE(checked, 5);
}

// The banner follows the host's image or the built-in one, under both skins
// (F5 "default", F6 "metal"), and stays hidden when the flag says so.
void TestMPAEncoderDlg::skinsAndBanner_data()
{
    QTest::addColumn<QString>("hostBanner"); // empty: none given
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<uint>("flags");
    QTest::newRow("none") << QString() << QSize(382, 75) << 0u;
    QTest::newRow("unreadable") << QStringLiteral("absent.png") << QSize(382, 75) << 0u;
    QTest::newRow("host image, hidden") << QStringLiteral("banner.png") << QSize(120, 40) << uint(VL_FLAG_HIDE_BANNER);
    // Only regular files are read: a FIFO would block the dialog.
    QTest::newRow("FIFO without a writer") << QStringLiteral("fifo") << QSize(382, 75) << 0u;
    QTest::newRow("character device") << QStringLiteral("/dev/zero") << QSize(382, 75) << 0u;
    QTest::newRow("directory") << QStringLiteral(".") << QSize(382, 75) << 0u;
}

void TestMPAEncoderDlg::skinsAndBanner()
{
    QFETCH(QString, hostBanner);
    QFETCH(QSize, shown);
    QFETCH(uint, flags);
    QTemporaryDir dir;
    QPixmap image(120, 40);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(dir.filePath(QStringLiteral("banner.png")), "PNG"));
    const QByteArray path = dir.filePath(hostBanner).toLatin1();
    if (hostBanner == QLatin1String("fifo"))
        QCOMPARE(mkfifo(path.constData(), 0600), 0);
    EncoderSettings host = hostBlock();
    const DialogParams record = params(flags, nullptr, hostBanner.isEmpty() ? nullptr : path.constData());
    std::unique_ptr<TestableDialog> made;
    const auto make = [&] { made = std::make_unique<TestableDialog>(&host, &record); };
    if (hostBanner == QLatin1String("fifo"))
        QVERIFY2(!waitedOnFifo(path, make), "the dialog waited for a writer on the FIFO");
    else
        make();
    TestableDialog& dialog = *made;
    dialog.show();
    const QLabel* const banner = child<QLabel>(dialog, "bannerFrame");
    const QString opening = dialog.styleSheet();
    QVERIFY(!opening.isEmpty());
    for (const Qt::Key key : { Qt::Key_F6, Qt::Key_F7, Qt::Key_F5 }) {
        const QString before = dialog.styleSheet();
        QTest::keyClick(&dialog, key);
        QCOMPARE(dialog.styleSheet() == before, key == Qt::Key_F7);
        QCOMPARE(banner->pixmap(Qt::ReturnByValue).size(), shown);
        QCOMPARE(
            banner->alignment(), hostBanner == "banner.png" ? Qt::Alignment(Qt::AlignCenter) : QLabel().alignment());
        QCOMPARE(banner->isVisible(), flags == 0);
    }
    QCOMPARE(dialog.styleSheet(), opening);
    dialog.setSkin(QStringLiteral("no such skin"));
    QCOMPARE(dialog.styleSheet(), QString());
}

void TestMPAEncoderDlg::noTextClipped_data()
{
    QTest::addColumn<QString>("language"); // translation file suffix; empty: untranslated
    QTest::addColumn<QStringList>("skins"); // applied in this order after the dialog opened
    for (const char* language : { "", "de", "jp" }) {
        const QString name = *language ? QLatin1String(language) : QStringLiteral("en");
        QTest::newRow(qPrintable(name + QStringLiteral(", default"))) << language << QStringList();
        QTest::newRow(qPrintable(name + QStringLiteral(", metal"))) << language << QStringList { "metal" };
        QTest::newRow(qPrintable(name + QStringLiteral(", metal, then default")))
            << language << QStringList { "metal", "default" };
    }
}

void TestMPAEncoderDlg::noTextClipped()
{
    QFETCH(QString, language);
    QFETCH(QStringList, skins);
    if (language == QLatin1String("jp"))
        QVERIFY2(QRawFont::fromFont(QFont(), QFontDatabase::Japanese).supportsCharacter(QChar(0x8A2D)),
            "no font with Japanese glyphs (scripts/setup installs one)");
    // Debian's desktop font, fontconfig's "Sans Serif" (DejaVu Sans) at 9
    // points, which Qt 6's offscreen platform uses as well; Qt 5's falls back
    // to 12 points, too tall for the dialog on its 800 x 600 screen.
    const QFont applicationFont = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
    QTranslator translator;
    if (!language.isEmpty()) {
        QVERIFY(translator.load(QStringLiteral("gui_mpa_") + language, QStringLiteral(VL_QM_DIR)));
        QCoreApplication::installTranslator(&translator);
    }

    auto host = hostBlock();
    const DialogParams record = params(0x71);
    TestableDialog dialog(&host, &record);
    // As on a screen tall enough for the dialog: the offscreen platform's is
    // 600 pixels, less than the dialog needs with Qt 5's font metrics.
    dialog.setMaximumHeight(QWIDGETSIZE_MAX);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const QString& skin : skins)
        dialog.setSkin(skin);
    QCoreApplication::processEvents();
    QCoreApplication::removeTranslator(&translator);

    const QStringList clipped = clippedTexts(dialog);
    QApplication::setFont(applicationFont);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestMPAEncoderDlg)
#include "tst_mpaencoderdlg.moc"
