#include "dialogfakes.h"
#include "pages/basicpage.h"

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
#include <vector>

namespace {

// A host block whose every byte is known, with a preset audio type.
std::vector<unsigned char> hostBlock(int32_t audioType = VL_AUDIO_MPEG1)
{
    std::vector<unsigned char> bytes(sizeof(EncoderSettings));
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    auto* const settings = reinterpret_cast<EncoderSettings*>(bytes.data());
    settings->layer = 2;
    settings->mode = VL_MODE_JOINT_STEREO;
    settings->bitrateIndex = 10;
    settings->audioType = audioType;
    settings->sampleFrequency = 48000;
    return bytes;
}

EncoderSettings* asSettings(std::vector<unsigned char>& bytes)
{
    return reinterpret_cast<EncoderSettings*>(bytes.data());
}

QStringList colouredLines(const QTextEdit& edit)
{
    QStringList lines;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty())
            continue;
        const auto fragments = block.begin();
        const QColor color = fragments.atEnd() ? QColor() : fragments.fragment().charFormat().foreground().color();
        lines.append(block.text() + QLatin1Char(' ') + color.name());
    }
    return lines;
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
    void lockedPresetStaysDisabledAfterEveryRefresh();
    void initialCheckArguments();
    void messageColours_data();
    void messageColours();
    void title_data();
    void title();
    void presetListOrder();
    void accept_data();
    void accept();
    void choosingPresetStoresIdOnly();
    void maximumHeight_data();
    void maximumHeight();
    void buttonSizesPerSkin_data();
    void buttonSizesPerSkin();
    void skinKeysRestoreOpeningSheet();
    void bannerSource_data();
    void bannerSource();
    void noTextClipped_data();
    void noTextClipped();

private:
    std::unique_ptr<Fake::FakeModules> fakes;
};

void TestMPAEncoderDlg::flags_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<bool>("loadSaveShown");
    QTest::addColumn<int>("checksAtConstruction");
    QTest::addColumn<bool>("presetListEnabled");
    QTest::addColumn<bool>("bannerShown");

    QTest::newRow("none") << 0u << 0 << false << 0 << true << true;
    QTest::newRow("basic page") << 0x1u << 1 << false << 0 << true << true;
    QTest::newRow("load and save") << 0x10u << 0 << true << 1 << true << true;
    QTest::newRow("basic page, load and save") << 0x11u << 1 << true << 1 << true << true;
    QTest::newRow("no initial check") << 0x31u << 1 << true << 0 << true << true;
    QTest::newRow("no initial check alone") << 0x20u << 0 << false << 0 << true << true;
    QTest::newRow("hidden banner") << 0x1000u << 0 << false << 0 << true << false;
    QTest::newRow("locked audio type") << 0x2000u << 0 << false << 0 << false << true;
    QTest::newRow("entry point bits ignored") << 0x30000000u << 0 << false << 0 << true << true;
}

void TestMPAEncoderDlg::flags()
{
    QFETCH(uint, flags);
    QFETCH(int, tabs);
    QFETCH(bool, loadSaveShown);
    QFETCH(int, checksAtConstruction);
    QFETCH(bool, presetListEnabled);
    QFETCH(bool, bannerShown);

    // The check during construction runs before the dialog listens to the
    // notifier, so the info window opens empty whatever it reported.
    Fake::state().checkReports = { { Error, "too early" } };
    auto host = hostBlock();
    const DialogParams record = params(flags);
    const TestableDialog dialog(asSettings(host), &record);

    auto* const tabWidget = child<QTabWidget>(dialog, "tabWidget");
    QCOMPARE(tabWidget->count(), tabs);
    QCOMPARE(dialog.basicSettingsPage != nullptr, tabs == 1);
    if (tabs == 1) {
        QCOMPARE(tabWidget->tabText(0), QStringLiteral("Basic Settings"));
        QCOMPARE(static_cast<QWidget*>(tabWidget->widget(0)), reinterpret_cast<QWidget*>(dialog.basicSettingsPage));
    }
    QCOMPARE(tabWidget->indexOf(child<QWidget>(dialog, "basicPage")), -1);
    QCOMPARE(!child<QPushButton>(dialog, "buttonLoad")->isHidden(), loadSaveShown);
    QCOMPARE(!child<QPushButton>(dialog, "buttonSave")->isHidden(), loadSaveShown);
    QCOMPARE(Fake::state().checkCalls, checksAtConstruction);
    QCOMPARE(child<QComboBox>(dialog, "presetList")->isEnabled(), presetListEnabled);
    QVERIFY(child<QPushButton>(dialog, "presetButton")->isEnabled());
    QCOMPARE(!child<QLabel>(dialog, "bannerFrame")->isHidden(), bannerShown);
    QCOMPARE(child<QTextEdit>(dialog, "errorLog")->toPlainText(), QString());
}

void TestMPAEncoderDlg::lockedPresetStaysDisabledAfterEveryRefresh()
{
    auto host = hostBlock(VL_AUDIO_MPEG2_DVD);
    const DialogParams record = params(VL_FLAG_LOCK_AUDIO_TYPE | VL_FLAG_BASIC_SETTINGS);
    TestableDialog dialog(asSettings(host), &record);
    auto* const presetList = child<QComboBox>(dialog, "presetList");
    auto* const presetButton = child<QPushButton>(dialog, "presetButton");
    QVERIFY(!presetList->isEnabled());

    // A change on the basic page reaches the settings and refreshes.
    ConfigState change;
    change.insert(ItemName::Layer, ConfigItem(QStringLiteral("Layer 1"), true));
    emit dialog.basicSettingsPage->stateChanged(change);
    QCOMPARE(dialog.settings.layer, 1);
    QCOMPARE(Fake::state().checkCalls, 1);
    QVERIFY(!presetList->isEnabled());
    QVERIFY(presetButton->isEnabled());

    QTest::mouseClick(presetButton, Qt::LeftButton);
    QCOMPARE(Fake::state().defaultsCalls, QList<int32_t> { VL_AUDIO_MPEG2_DVD });
    QVERIFY(!presetList->isEnabled());
    QVERIFY(presetButton->isEnabled());
    QCOMPARE(presetList->currentText(), QStringLiteral("MPEG-2 DVD"));
}

void TestMPAEncoderDlg::initialCheckArguments()
{
    auto host = hostBlock(VL_AUDIO_MPEG2_SVCD);
    asSettings(host)->sampleFrequency = 44100;
    const DialogParams record = params(0x10);
    const TestableDialog dialog(asSettings(host), &record);

    const Fake::State& fake = Fake::state();
    QCOMPARE(fake.checkCalls, 1);
    QCOMPARE(fake.checkCallbacks, static_cast<const EncoderCallbacks*>(&ErrorNotifier::instance()->callbacks));
    QCOMPARE(fake.checkedAudioType, int32_t(VL_AUDIO_MPEG2_SVCD));
    QCOMPARE(fake.checkedFrequency, 44100);
    QCOMPARE(fake.checkedReserved, 0);
    QCOMPARE(fake.checkedReservedPointer, static_cast<const void*>(nullptr));
}

void TestMPAEncoderDlg::messageColours_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("coloured") << 0x40u
                              << QStringList { "Bitrate too high #b40000", "Mode not allowed #b40000",
                                     "Layer II chosen #141414" };
    QTest::newRow("plain") << 0u
                           << QStringList { "Bitrate too high #141414", "Mode not allowed #141414",
                                  "Layer II chosen #141414" };
}

void TestMPAEncoderDlg::messageColours()
{
    QFETCH(uint, flags);
    QFETCH(QStringList, expected);

    Fake::state().checkReports
        = { { Error, "Bitrate too high" }, { Info, "Layer II chosen" }, { Error, "Mode not allowed\n" } };
    Fake::state().checkResult = 1;
    auto host = hostBlock();
    const DialogParams record = params(flags);
    TestableDialog dialog(asSettings(host), &record);

    QVERIFY(!dialog.validateSettings());
    QCOMPARE(colouredLines(*child<QTextEdit>(dialog, "errorLog")), expected);

    // A later check that reports nothing empties the window.
    Fake::state().checkReports.clear();
    Fake::state().checkResult = 0;
    QVERIFY(dialog.validateSettings());
    QCOMPARE(child<QTextEdit>(dialog, "errorLog")->toPlainText(), QString());
}

void TestMPAEncoderDlg::title_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<bool>("given");
    QTest::addColumn<QString>("expected");
    QTest::newRow("built in") << QByteArray() << false << QStringLiteral("Veltrano MPEG-1/2 Audio Encoder Settings");
    QTest::newRow("empty") << QByteArray("") << true << QString();
    QTest::newRow("host title") << QByteArray("Authoring Tool") << true << QStringLiteral("Authoring Tool");
    QTest::newRow("8-bit host title") << QByteArray("Caf\xE9") << true << QString::fromLatin1("Caf\xE9");
}

void TestMPAEncoderDlg::title()
{
    QFETCH(QByteArray, title);
    QFETCH(bool, given);
    QFETCH(QString, expected);

    auto host = hostBlock();
    const DialogParams record = params(0, given ? title.constData() : nullptr);
    const TestableDialog dialog(asSettings(host), &record);
    QCOMPARE(dialog.windowTitle(), expected);
}

void TestMPAEncoderDlg::presetListOrder()
{
    auto host = hostBlock();
    const DialogParams record = params(0);
    const TestableDialog dialog(asSettings(host), &record);
    const QComboBox* const presetList = child<QComboBox>(dialog, "presetList");

    QStringList shown;
    for (int i = 0; i < presetList->count(); ++i)
        shown.append(presetList->itemText(i));
    QCOMPARE(shown.size(), 20);
    QStringList sorted = shown;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(shown, sorted);
    QCOMPARE(shown, dialog.presets.keys());
}

void TestMPAEncoderDlg::accept_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int32_t>("checkResult");
    QTest::newRow("OK, passing check") << "buttonOk" << 0;
    QTest::newRow("OK, failing check") << "buttonOk" << 1;
    QTest::newRow("OK, negative result") << "buttonOk" << -5;
    QTest::newRow("Cancel") << "buttonCancel" << 0;
}

void TestMPAEncoderDlg::accept()
{
    QFETCH(QString, button);
    QFETCH(int32_t, checkResult);

    auto host = hostBlock();
    const auto before = host;
    const DialogParams record = params(0x1);
    TestableDialog dialog(asSettings(host), &record);
    dialog.show();

    // Change both halves of the working copy.
    auto* const working = reinterpret_cast<unsigned char*>(&dialog.settings);
    for (size_t i = 0; i < sizeof(EncoderSettings); ++i)
        working[i] = static_cast<unsigned char>(255 - i % 251);
    const std::vector<unsigned char> edited(working, working + sizeof(EncoderSettings));

    Fake::state().checkResult = checkResult;
    Fake::state().checkReports = { { Error, "not for this audio type" } };
    const int checksBefore = Fake::state().checkCalls;
    QTest::mouseClick(child<QPushButton>(dialog, qPrintable(button)), Qt::LeftButton);
    const bool ok = button == QLatin1String("buttonOk");
    const bool accepted = ok && checkResult == 0;
    QCOMPARE(Fake::state().checkCalls, checksBefore + int(ok));
    // A failing check keeps the dialog open.
    QCOMPARE(dialog.isVisible(), ok && !accepted);

    if (accepted) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(std::equal(host.begin(), host.begin() + VL_SETTINGS_RECORD_SIZE, edited.begin()));
        QVERIFY(
            std::equal(host.begin() + VL_SETTINGS_RECORD_SIZE, host.end(), before.begin() + VL_SETTINGS_RECORD_SIZE));
    } else {
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(host == before);
    }
    if (ok && !accepted)
        QCOMPARE(child<QTextEdit>(dialog, "errorLog")->toPlainText(), QStringLiteral("not for this audio type"));
}

void TestMPAEncoderDlg::choosingPresetStoresIdOnly()
{
    auto host = hostBlock(VL_AUDIO_MPEG2_DVD);
    const DialogParams record = params(0x1);
    TestableDialog dialog(asSettings(host), &record);
    auto* const presetList = child<QComboBox>(dialog, "presetList");
    EncoderSettings expected = dialog.settings;
    for (int32_t* flag :
        { &expected.privateBit, &expected.errorProtection, &expected.copyrightBit, &expected.originalBit })
        *flag = *flag != 0;

    StateRecorder recorder(&dialog);
    const QList<ConfigState>& states = recorder.states;
    emit presetList->textActivated(QStringLiteral("MPEG-1 VideoCD"));
    QCOMPARE(states.count(), 1);
    const ConfigState sent = states.at(0);
    QCOMPARE(sent.keys(), QStringList { ItemName::AudioType });
    QCOMPARE(sent.value(ItemName::AudioType).value, QVariant(QStringLiteral("MPEG-1 VideoCD")));

    QCOMPARE(dialog.settings.audioType, int32_t(VL_AUDIO_MPEG1_VCD));
    QVERIFY(std::memcmp(&dialog.settings, &expected, VL_SETTINGS_RECORD_SIZE) == 0);
    QVERIFY(Fake::state().defaultsCalls.isEmpty());
    QCOMPARE(Fake::state().checkCalls, 1);
    QCOMPARE(presetList->currentText(), QStringLiteral("MPEG-1 VideoCD"));

    // The entry already shown is applied and checked again.
    emit presetList->textActivated(QStringLiteral("MPEG-1 VideoCD"));
    QCOMPARE(Fake::state().checkCalls, 2);
}

void TestMPAEncoderDlg::maximumHeight_data()
{
    QTest::addColumn<int>("available");
    QTest::addColumn<int>("expected");
    QTest::newRow("1050") << 1050 << 997;
    QTest::newRow("768") << 768 << 729;
    QTest::newRow("1") << 1 << 0;
}

void TestMPAEncoderDlg::maximumHeight()
{
    QFETCH(int, available);
    QFETCH(int, expected);
    QCOMPARE(MPAEncoderDlg::maximumHeightFor(available), expected);

    // The dialog applies it for the screen it opens on.
    auto host = hostBlock();
    const DialogParams record = params(0);
    const TestableDialog dialog(asSettings(host), &record);
    const int screen = QGuiApplication::primaryScreen()->availableGeometry().height();
    QCOMPARE(dialog.maximumHeight(), MPAEncoderDlg::maximumHeightFor(screen));
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
    TestableDialog dialog(asSettings(host), &record);
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

void TestMPAEncoderDlg::skinKeysRestoreOpeningSheet()
{
    auto host = hostBlock();
    const DialogParams record = params(VL_FLAG_BASIC_SETTINGS | VL_FLAG_HIDE_BANNER);
    TestableDialog dialog(asSettings(host), &record);
    dialog.show();
    const QLabel* const banner = child<QLabel>(dialog, "bannerFrame");
    const QString opening = dialog.styleSheet();
    QVERIFY(!opening.isEmpty());

    QTest::keyClick(&dialog, Qt::Key_F6);
    const QString metal = dialog.styleSheet();
    QVERIFY(metal != opening);
    QVERIFY(metal.contains(QStringLiteral(":/res_mpa/backgrounds/main.png")));
    QVERIFY(!banner->isVisible());
    for (const Qt::Key key : { Qt::Key_F6, Qt::Key_F7 }) {
        QTest::keyClick(&dialog, key);
        QCOMPARE(dialog.styleSheet(), metal);
    }
    QTest::keyClick(&dialog, Qt::Key_F5);
    QCOMPARE(dialog.styleSheet(), opening);
    QVERIFY(!banner->isVisible());

    dialog.setSkin(QStringLiteral("no such skin"));
    QCOMPARE(dialog.styleSheet(), QString());
}

void TestMPAEncoderDlg::bannerSource_data()
{
    QTest::addColumn<QString>("hostBanner"); // empty: none given; otherwise what the path names
    QTest::addColumn<bool>("centred");
    QTest::newRow("none") << QString() << false;
    QTest::newRow("unreadable") << QStringLiteral("missing") << false;
    QTest::newRow("host image") << QStringLiteral("host") << true;
    QTest::newRow("FIFO without a writer") << QStringLiteral("fifo") << false;
    QTest::newRow("character device") << QStringLiteral("device") << false;
    QTest::newRow("directory") << QStringLiteral("directory") << false;
}

void TestMPAEncoderDlg::bannerSource()
{
    QFETCH(QString, hostBanner);
    QFETCH(bool, centred);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray bannerPath;
    QSize expectedSize(382, 75);
    if (hostBanner == QLatin1String("host")) {
        expectedSize = QSize(120, 40);
        QPixmap image(expectedSize);
        image.fill(Qt::darkCyan);
        bannerPath = dir.filePath(QStringLiteral("banner.png")).toLatin1();
        QVERIFY(image.save(QString::fromLatin1(bannerPath), "PNG"));
    } else if (hostBanner == QLatin1String("missing")) {
        bannerPath = dir.filePath(QStringLiteral("absent.png")).toLatin1();
    } else if (hostBanner == QLatin1String("fifo")) {
        bannerPath = dir.filePath(QStringLiteral("banner.png")).toLatin1();
        QCOMPARE(mkfifo(bannerPath.constData(), 0600), 0);
    } else if (hostBanner == QLatin1String("device")) {
        bannerPath = "/dev/zero";
    } else if (hostBanner == QLatin1String("directory")) {
        bannerPath = dir.path().toLatin1();
    }

    auto host = hostBlock();
    const DialogParams record = params(0, nullptr, bannerPath.isEmpty() ? nullptr : bannerPath.constData());
    std::unique_ptr<TestableDialog> made;
    const auto make = [&] { made = std::make_unique<TestableDialog>(asSettings(host), &record); };
    if (hostBanner == QLatin1String("fifo"))
        QVERIFY2(!waitedOnFifo(bannerPath, make), "the dialog waited for a writer on the FIFO");
    else
        make();
    TestableDialog& dialog = *made;
    const QLabel* const banner = child<QLabel>(dialog, "bannerFrame");
    const Qt::Alignment defaultAlignment = QLabel().alignment();

    for (const char* skin : { "default", "metal", "default" }) {
        dialog.setSkin(QLatin1String(skin));
        const QPixmap shown = banner->pixmap(Qt::ReturnByValue);
        QCOMPARE(shown.size(), expectedSize);
        QCOMPARE(dialog.bannerPixmap.isNull(), !centred);
        QCOMPARE(banner->alignment(), centred ? Qt::Alignment(Qt::AlignCenter) : defaultAlignment);
    }
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
    TestableDialog dialog(asSettings(host), &record);
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
