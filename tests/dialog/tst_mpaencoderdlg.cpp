// MPAEncoderDlg on real widgets with in-test companion modules: what the
// flags show, how the user's actions travel through the change loop (control,
// working copy, refresh, check), what the ways of closing write back, and how
// it looks: skins, banner, button sizes, no clipped text.
#include "dialogdriver.h"
#include "dialogfakes.h"
#include "nonblocking.h"
#include "pages/basicpage.h"
#include "rows.h"
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
#include <sys/stat.h>

namespace {

// One text a widget shows and the room its style gives that text, in the
// widget's coordinates.
struct ShownText
{
    QString text;
    QRect room;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

QList<ShownText> shownTexts(QWidget& widget)
{
    QList<ShownText> texts;
    if (const auto* label = qobject_cast<QLabel*>(&widget); label && !label->text().isEmpty()) {
        texts.append({ label->text(), label->contentsRect(), label->alignment() });
    } else if (const auto* box = qobject_cast<QCheckBox*>(&widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        option.iconSize = box->iconSize();
        texts.append({ box->text(), box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box) });
    } else if (const auto* list = qobject_cast<QComboBox*>(&widget)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        option.frame = list->hasFrame();
        const QRect field
            = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        for (int i = 0; i < list->count(); ++i)
            texts.append({ list->itemText(i), field });
    } else if (const auto* tabs = qobject_cast<QTabBar*>(&widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            QStyleOptionTab option;
            option.initFrom(tabs);
            option.rect = tabs->tabRect(i);
            option.text = tabs->tabText(i);
            option.shape = tabs->shape();
            option.documentMode = tabs->documentMode();
            option.position = tabs->count() == 1 ? QStyleOptionTab::OnlyOneTab : QStyleOptionTab::Middle;
            option.state |= i == tabs->currentIndex() ? QStyle::State_Selected : QStyle::State_None;
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
        const QFontMetrics metrics = widget->fontMetrics();
        for (const ShownText& shown : widget->isVisible() ? shownTexts(*widget) : QList<ShownText>()) {
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

const QByteArrayList error = { "enot for this audio type" };

// name, the step that closes, the check's result and reports, the info
// window afterwards, whether the dialog accepted
const std::tuple<const char*, QString, int, QByteArrayList, const char*, bool> closingRows[] = {
    { "OK, passing check", "ok", 0, {}, "", true },
    { "OK, passing with warnings", "ok", 0, { "wfirst warning", "isummary", "wsecond warning" },
        "first warning\nsecond warning\nsummary", true },
    { "OK, failing check", "ok", 1, error, "not for this audio type", false },
    { "OK, failing without a word", "ok", 1, {}, "", false },
    { "OK, negative result", "ok", -5, error, "not for this audio type", false },
    { "Cancel", "cancel", 0, error, "", false },
    { "Escape", "escape", 0, error, "", false },
    { "window closed", "close", 0, error, "", false },
};

// name, flags, fields changed from hostBlock(), the user's steps (see
// performStep()), fields OK writes back changed, checks, audio type of the
// last check, audio types whose defaults were loaded
const std::tuple<const char*, uint32_t, const char*, const char*, const char*, int, int, QList<int32_t>>
    actionRows[] = {
        { "every list and box", 0x1, "originalBit=1",
            "choose:bitrateList:320;choose:psychList:Model 2;choose:emphasisList:CCITT J.17;"
            "choose:modeList:Dual Channel;click:privateCheck;click:copyrightCheck;click:crcCheck;"
            "click:originalCheck;expect:originalCheck=0;ok",
            "bitrateIndex=13 psychModel=2 emphasis=3 mode=2 privateBit=1 copyrightBit=1 errorProtection=1 "
            "originalBit=0",
            9, 0, {} },
        // Only the audio type changes, which lies outside the written-back half;
        // the flag words are rewritten as 0 or 1 all the same.
        { "another preset keeps the other settings", 0x1, "privateBit=5",
            "choose:presetList:MPEG-1 VideoCD;expect:presetList=MPEG-1 VideoCD;expect:layerList=Layer 2;ok",
            "privateBit=1", 2, VL_AUDIO_MPEG1_VCD, {} },
        { "restoring a preset loads its defaults", 0x1, "",
            "choose:presetList:MPEG-2 DVD;click:presetButton;expect:presetList=MPEG-2 DVD;expect:layerList=Layer 1;ok",
            "layer=1", 3, VL_AUDIO_MPEG2_DVD, { VL_AUDIO_MPEG2_DVD } },
        // 0x1014 has no preset; it resolves to 16, and 16 to the DVD-VR preset.
        { "host audio type 0x1014 shows MPEG-2 DVD-VR", 0x1, "audioType=0x1014",
            "expect:presetList=MPEG-2 DVD-VR;click:privateCheck;ok", "privateBit=1", 2, VL_AUDIO_MPEG2_DVD_VR, {} },
        // Refreshes never enable a locked preset list; restoring still works.
        { "locked audio type", 0x2001, "audioType=4",
            "expect:presetList.enabled=0;choose:layerList:Layer 1;expect:presetList.enabled=0;click:presetButton;"
            "expect:presetList.enabled=0;expect:presetList=MPEG-2 DVD;ok",
            "layer=1", 3, VL_AUDIO_MPEG2_DVD, { VL_AUDIO_MPEG2_DVD } },
    };

} // namespace

class TestMPAEncoderDlg : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeModules> fakes;

private slots:
    void init() { fakes = std::make_unique<FakeModules>(); }
    void cleanup() { fakes.reset(); }

    void flags_data()
    {
        QTest::addColumn<uint>("flags");
        // Tabs, load and save buttons shown, checks while opening, preset
        // list enabled, banner shown, colour of an error.
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

    void flags()
    {
        QFETCH(uint, flags);
        QFETCH(QString, shown);
        // The check while opening runs before the dialog listens to the
        // notifier, so the info window opens empty whatever it reported.
        fakes->reports = { "etoo early" };
        EncoderSettings host = hostBlock(QStringLiteral("audioType=3 sampleFrequency=44100"));
        TestableDialog dialog(&host, flags);
        auto* const errorLog = child<QTextEdit>(dialog, "errorLog");
        QCOMPARE(errorLog->toPlainText(), QString());
        fakes->checkResult = 1;
        QVERIFY(!dialog.validateSettings());
        auto* const tabWidget = child<QTabWidget>(dialog, "tabWidget");
        auto* const presetList = child<QComboBox>(dialog, "presetList");
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(tabWidget->count())
                     .arg(!child<QPushButton>(dialog, "buttonLoad")->isHidden()
                         && !child<QPushButton>(dialog, "buttonSave")->isHidden())
                     .arg(fakes->checkCalls - 1)
                     .arg(presetList->isEnabled())
                     .arg(!child<QLabel>(dialog, "bannerFrame")->isHidden())
                     .arg(errorLog->document()->begin().begin().fragment().charFormat().foreground().color().name()),
            shown);
        QVERIFY(child<QPushButton>(dialog, "presetButton")->isEnabled());
        QCOMPARE(tabWidget->widget(0), tabWidget->count() ? static_cast<QWidget*>(dialog.basicSettingsPage) : nullptr);
        // The check sees the working copy's type and frequency, reserved
        // arguments of 0, and the notifier's callbacks.
        QCOMPARE(fakes->checkCallbacks, static_cast<const EncoderCallbacks*>(&ErrorNotifier::instance()->callbacks));
        QCOMPARE(fakes->checkArguments, (QList<intptr_t> { VL_AUDIO_MPEG2_SVCD, 44100, 0, 0 }));
        // The preset list is in name order; the height fits the screen.
        QStringList names;
        for (int i = 0; i < presetList->count(); ++i)
            names << presetList->itemText(i);
        QCOMPARE(names, dialog.presets.keys());
        QCOMPARE(MPAEncoderDlg::maximumHeightFor(1050), 997);
        QCOMPARE(dialog.maximumHeight(),
            MPAEncoderDlg::maximumHeightFor(QGuiApplication::primaryScreen()->availableGeometry().height()));
        // A later check that reports nothing empties the window.
        fakes->reports.clear();
        fakes->checkResult = 0;
        QVERIFY(dialog.validateSettings());
        QCOMPARE(errorLog->toPlainText(), QString());
    }

    void closing_data() { addRows(closingRows); }

    // OK runs the check once: a failing one keeps the dialog open, a passing
    // one closes it, and either way the info window shows what the check
    // said. Only OK writes back, and only the record half.
    void closing()
    {
        const auto& [name, step, checkResult, reports, shown, accepted] = currentRow(closingRows);
        EncoderSettings host = hostBlock();
        TestableDialog dialog(&host, VL_FLAG_BASIC_SETTINGS);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Change both halves of the working copy.
        auto* const working = reinterpret_cast<unsigned char*>(&dialog.settings);
        for (size_t i = 0; i < sizeof(EncoderSettings); ++i)
            working[i] = static_cast<unsigned char>(255 - i % 251);
        EncoderSettings expected = hostBlock();
        std::memcpy(&expected, working, accepted ? VL_SETTINGS_RECORD_SIZE : 0);
        fakes->checkResult = checkResult;
        fakes->reports = reports;

        QCOMPARE(performStep(&dialog, step), QString());
        QCOMPARE(fakes->checkCalls, int(step == QLatin1String("ok")));
        QCOMPARE(dialog.isVisible(), step == QLatin1String("ok") && !accepted);
        QCOMPARE(dialog.result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(child<QTextEdit>(dialog, "errorLog")->toPlainText(), QLatin1String(shown));
        QCOMPARE(blockDifference(host, expected), QString());
    }

    void userActions_data() { addRows(actionRows); }

    void userActions()
    {
        const auto& [name, flags, host, script, written, checks, checkedType, defaults] = currentRow(actionRows);
        EncoderSettings block = hostBlock(host);
        TestableDialog dialog(&block, flags);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(performSteps(&dialog, script), QString());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(blockDifference(block, withFields(hostBlock(host), written)), QString());
        QCOMPARE(fakes->checkCalls, checks);
        QCOMPARE(int(fakes->checkArguments.value(0)), checkedType);
        QCOMPARE(fakes->defaultsCalls, defaults);
    }

    // The banner follows the host's image or the built-in one, under both
    // skins (F5 "default", F6 "metal"), and stays hidden when the flag says
    // so; every push button has its skin's size on screen, also after a
    // switch.
    void skinsAndBanner_data()
    {
        QTest::addColumn<QString>("hostBanner"); // empty: none given
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<uint>("flags");
        QTest::newRow("none") << QString() << QSize(382, 75) << 0u;
        QTest::newRow("unreadable") << QStringLiteral("absent.png") << QSize(382, 75) << 0u;
        QTest::newRow("host image, hidden")
            << QStringLiteral("banner.png") << QSize(120, 40) << uint(VL_FLAG_HIDE_BANNER);
        // Only regular files are read: a FIFO would block the dialog.
        QTest::newRow("FIFO without a writer") << QStringLiteral("fifo") << QSize(382, 75) << 0u;
        QTest::newRow("character device") << QStringLiteral("/dev/zero") << QSize(382, 75) << 0u;
        QTest::newRow("directory") << QStringLiteral(".") << QSize(382, 75) << 0u;
    }

    void skinsAndBanner()
    {
        QFETCH(QString, hostBanner);
        QFETCH(QSize, shown);
        QFETCH(uint, flags);
        QTemporaryDir dir;
        QPixmap image(120, 40);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(dir.filePath(QStringLiteral("banner.png")), "PNG"));
        const QByteArray path = dir.filePath(hostBanner).toLatin1();
        QVERIFY(hostBanner != QLatin1String("fifo") || mkfifo(path.constData(), 0600) == 0);
        EncoderSettings host = hostBlock();
        std::unique_ptr<TestableDialog> made;
        QVERIFY(returnsWithoutBlocking(
            [&] {
                made = std::make_unique<TestableDialog>(
                    &host, flags | 0x30, hostBanner.isEmpty() ? nullptr : path.constData());
            },
            path.toStdString()));
        TestableDialog& dialog = *made;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QLabel* const banner = child<QLabel>(dialog, "bannerFrame");
        const QString opening = dialog.styleSheet();
        QVERIFY(!opening.isEmpty());
        for (const Qt::Key key : { Qt::Key_F6, Qt::Key_F7, Qt::Key_F5 }) {
            const QString before = dialog.styleSheet();
            QTest::keyClick(&dialog, key);
            QCoreApplication::processEvents();
            QCOMPARE(dialog.styleSheet() == before, key == Qt::Key_F7);
            QCOMPARE(banner->pixmap(Qt::ReturnByValue).size(), shown);
            QCOMPARE(banner->alignment(),
                hostBanner == "banner.png" ? Qt::Alignment(Qt::AlignCenter) : QLabel().alignment());
            QCOMPARE(banner->isVisible(), flags == 0);
            const QSize side = dialog.styleSheet() == opening ? QSize(24, 24) : QSize(20, 20);
            const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
            QCOMPARE(int(std::count_if(buttons.begin(), buttons.end(),
                         [&](const QPushButton* button) { return button->isVisible() && button->size() == side; })),
                5);
        }
        QCOMPARE(dialog.styleSheet(), opening);
        dialog.setSkin(QStringLiteral("no such skin"));
        QCOMPARE(dialog.styleSheet(), QString());
    }

    void noTextClipped_data()
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

    void noTextClipped()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, skins);
        if (language == QLatin1String("jp"))
            QVERIFY2(QRawFont::fromFont(QFont(), QFontDatabase::Japanese).supportsCharacter(QChar(0x8A2D)),
                "no font with Japanese glyphs (scripts/setup installs one)");
        // Debian's desktop font, fontconfig's "Sans Serif" (DejaVu Sans) at 9
        // points, which Qt 6's offscreen platform uses as well; Qt 5's falls
        // back to 12 points, too tall for the dialog on its 800 x 600 screen.
        const QFont applicationFont = QApplication::font();
        QApplication::setFont(QFont(QStringLiteral("Sans Serif"), 9));
        QTranslator translator;
        if (!language.isEmpty()) {
            QVERIFY(translator.load(QStringLiteral("gui_mpa_") + language, QStringLiteral(VL_QM_DIR)));
            QCoreApplication::installTranslator(&translator);
        }
        EncoderSettings host = hostBlock();
        TestableDialog dialog(&host, 0x71);
        // As on a screen tall enough for the dialog: the offscreen
        // platform's is 600 pixels, less than the dialog needs with Qt 5's
        // font metrics.
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
};

QTEST_MAIN(TestMPAEncoderDlg)
#include "tst_mpaencoderdlg.moc"
