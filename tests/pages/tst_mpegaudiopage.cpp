#include "model/statemodel.h"
#include "pages/mpegaudiopage.h"
#include "pagetesthelpers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <memory>

// The MPEG audio page on real widgets: its form, how it shows states and
// what a user's action on each control emits.
class TestMPEGAudioPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formLists_data();
    void formLists();
    void formLayout();
    void checkBoxTexts_data();
    void checkBoxTexts();
    void fillLists();
    void bitrateListByFrequencyAndLayer_data();
    void bitrateListByFrequencyAndLayer();
    void currentEntriesFromState_data();
    void currentEntriesFromState();
    void listChoiceEmits_data();
    void listChoiceEmits();
    void choosingCurrentEntryStillEmits();
    void keyboardChoiceEmits();
    void layerChoiceRefillsBitrates_data();
    void layerChoiceRefillsBitrates();
    void checkBoxClickEmits_data();
    void checkBoxClickEmits();
    void checkBoxFromStateEmitsNothing_data();
    void checkBoxFromStateEmitsNothing();
    void enabledFlag_data();
    void enabledFlag();
    void missingItems();

private:
    template<typename T>
    T* control(const char* name) const
    {
        return page->findChild<T*>(QLatin1String(name));
    }
    static ConfigState fullState(const QVariantMap& overrides = {});

    std::unique_ptr<MPEGAudioPage> page;
};

namespace {

const QStringList listNames = { "layerList", "modeList", "bitrateList", "psychList", "emphasisList" };
const QStringList checkNames = { "privateCheck", "copyrightCheck", "crcCheck", "originalCheck" };

QStringList entries(const QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->itemText(i));
    return texts;
}

QStringList kbps(std::initializer_list<int> values)
{
    QStringList texts;
    for (int value : values)
        texts.append(QString::number(value));
    return texts;
}

} // namespace

void TestMPEGAudioPage::initTestCase()
{
    registerStateType();
}

void TestMPEGAudioPage::init()
{
    page = std::make_unique<MPEGAudioPage>();
    page->fillLists();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
}

void TestMPEGAudioPage::cleanup()
{
    page.reset();
}

ConfigState TestMPEGAudioPage::fullState(const QVariantMap& overrides)
{
    // What the dialog derives for MPEG-1 Layer II, 48 kHz, 192 kbps.
    EncoderSettings settings {};
    settings.layer = 2;
    settings.mode = 1;
    settings.psychModel = 1;
    settings.bitrateIndex = 10;
    settings.sampleFrequency = 48000;
    ConfigState state = derivePageState(settings);
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
        state.insert(it.key(), ConfigItem(it.value(), true));
    return state;
}

void TestMPEGAudioPage::formLists_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::newRow("layer") << "layerList"
                           << "layerLabel"
                           << "Layer:" << 0;
    QTest::newRow("mode") << "modeList"
                          << "modeLabel"
                          << "Mode:" << 1;
    QTest::newRow("bitrate") << "bitrateList"
                             << "bitrateLabel"
                             << "Bitrate (kbps):" << 2;
    QTest::newRow("psych") << "psychList"
                           << "psychLabel"
                           << "Psychoacoustic Model:" << 3;
    QTest::newRow("emphasis") << "emphasisList"
                              << "label_2"
                              << "Emphasis:" << 4;
}

void TestMPEGAudioPage::formLists()
{
    QFETCH(QString, list);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(int, row);

    auto* combo = page->findChild<QComboBox*>(list);
    auto* caption = page->findChild<QLabel*>(label);
    QVERIFY(combo);
    QVERIFY(caption);
    QCOMPARE(caption->text(), text);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->minimumSize(), QSize(120, 25));
    QCOMPARE(combo->maximumSize(), QSize(70, 16777215));
    QCOMPARE(combo->sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
    QCOMPARE(combo->sizePolicy().verticalPolicy(), QSizePolicy::Preferred);

    auto* grid = page->findChild<QGridLayout*>(QStringLiteral("gridLayout"));
    QVERIFY(grid);
    int r = -1, c = -1, rs = 0, cs = 0;
    grid->getItemPosition(grid->indexOf(caption), &r, &c, &rs, &cs);
    QCOMPARE(QList<int>({ r, c, rs, cs }), QList<int>({ row, 0, 1, 1 }));
    grid->getItemPosition(grid->indexOf(combo), &r, &c, &rs, &cs);
    QCOMPARE(QList<int>({ r, c, rs, cs }), QList<int>({ row, 1, 1, 1 }));
}

void TestMPEGAudioPage::formLayout()
{
    QCOMPARE(page->objectName(), QStringLiteral("IMPEGAudioPage"));
    QCOMPARE(page->windowTitle(), QStringLiteral("MPEG Audio Page"));
    QCOMPARE(page->frameShape(), QFrame::Panel);
    QCOMPARE(page->frameShadow(), QFrame::Sunken);

    auto* rule = control<QFrame>("frame");
    QVERIFY(rule);
    QCOMPARE(rule->frameShape(), QFrame::HLine);
    QCOMPARE(rule->frameShadow(), QFrame::Sunken);
    QCOMPARE(rule->minimumSize(), QSize(32, 32));

    auto* grid = page->findChild<QGridLayout*>(QStringLiteral("gridLayout"));
    auto* boxes = page->findChild<QGridLayout*>(QStringLiteral("gridLayout1"));
    QVERIFY(grid);
    QVERIFY(boxes);
    int r = -1, c = -1, rs = 0, cs = 0;
    grid->getItemPosition(grid->indexOf(rule), &r, &c, &rs, &cs);
    QCOMPARE(QList<int>({ r, c, rs, cs }), QList<int>({ 5, 0, 1, 2 }));

    // The check boxes' grid and the spacer that keeps the controls at the top.
    bool foundBoxes = false, foundSpacer = false;
    for (int i = 0; i < grid->count(); ++i) {
        QLayoutItem* item = grid->itemAt(i);
        grid->getItemPosition(i, &r, &c, &rs, &cs);
        if (item->layout() == boxes) {
            foundBoxes = true;
            QCOMPARE(QList<int>({ r, c, rs, cs }), QList<int>({ 6, 0, 1, 2 }));
        } else if (QSpacerItem* spacer = item->spacerItem()) {
            foundSpacer = true;
            QCOMPARE(QList<int>({ r, c }), QList<int>({ 7, 0 }));
            QCOMPARE(spacer->sizeHint(), QSize(20, 101));
            QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
            QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
        }
    }
    QVERIFY(foundBoxes);
    QVERIFY(foundSpacer);

    const QList<QPair<int, int>> cells = { { 0, 0 }, { 0, 1 }, { 1, 0 }, { 1, 1 } };
    for (int i = 0; i < checkNames.size(); ++i) {
        auto* box = page->findChild<QCheckBox*>(checkNames.at(i));
        QVERIFY(box);
        boxes->getItemPosition(boxes->indexOf(box), &r, &c, &rs, &cs);
        QCOMPARE(qMakePair(r, c), cells.at(i));
    }
}

void TestMPEGAudioPage::checkBoxTexts_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::newRow("private") << "privateCheck"
                             << "Set private bit";
    QTest::newRow("copyright") << "copyrightCheck"
                               << "Set copyright bit";
    QTest::newRow("crc") << "crcCheck"
                         << "Set error protection bit";
    QTest::newRow("original") << "originalCheck"
                              << "Set original bit";
}

void TestMPEGAudioPage::checkBoxTexts()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    auto* check = page->findChild<QCheckBox*>(box);
    QVERIFY(check);
    QCOMPARE(check->text(), text);
    QVERIFY(!check->isChecked());
}

void TestMPEGAudioPage::fillLists()
{
    QCOMPARE(entries(control<QComboBox>("layerList")), QStringList({ "Layer 1", "Layer 2" }));
    QCOMPARE(
        entries(control<QComboBox>("modeList")), QStringList({ "Stereo", "Joint Stereo", "Dual Channel", "Mono" }));
    QCOMPARE(entries(control<QComboBox>("psychList")), QStringList({ "Model 1", "Model 2" }));
    QCOMPARE(entries(control<QComboBox>("emphasisList")),
        QStringList({ "Off", QStringLiteral("50/15 \u00B5s"), "CCITT J.17" }));
    QCOMPARE(control<QComboBox>("bitrateList")->count(), 0);
    for (const char* name : { "layerList", "modeList", "psychList", "emphasisList" })
        QCOMPARE(control<QComboBox>(name)->currentIndex(), 0);

    // A second fill replaces the entries instead of appending to them.
    page->fillLists();
    QCOMPARE(control<QComboBox>("modeList")->count(), 4);
}

void TestMPEGAudioPage::bitrateListByFrequencyAndLayer_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<QString>("layer");
    QTest::addColumn<QStringList>("expected");
    const QStringList mpeg1Layer1 = kbps({ 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 });
    const QStringList mpeg1Layer2 = kbps({ 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 });
    const QStringList lsfLayer1 = kbps({ 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 });
    const QStringList lsfLayer2 = kbps({ 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 });
    QTest::newRow("22050 Layer 2") << 22050 << "Layer 2" << lsfLayer2;
    QTest::newRow("16000 Layer 2") << 16000 << "Layer 2" << lsfLayer2;
    QTest::newRow("24000 Layer 1") << 24000 << "Layer 1" << lsfLayer1;
    QTest::newRow("48000 Layer 1") << 48000 << "Layer 1" << mpeg1Layer1;
    QTest::newRow("44100 Layer 2") << 44100 << "Layer 2" << mpeg1Layer2;
    QTest::newRow("11025 Layer 1") << 11025 << "Layer 1" << mpeg1Layer1;
    QTest::newRow("0 Layer 2") << 0 << "Layer 2" << mpeg1Layer2;
    QTest::newRow("wrong case counts as Layer II") << 48000 << "layer 1" << mpeg1Layer2;
}

void TestMPEGAudioPage::bitrateListByFrequencyAndLayer()
{
    QFETCH(int, frequency);
    QFETCH(QString, layer);
    QFETCH(QStringList, expected);
    page->updateState(fullState({ { "Audio Frequency", frequency }, { "Layer", layer } }));
    QCOMPARE(entries(control<QComboBox>("bitrateList")), expected);
}

void TestMPEGAudioPage::currentEntriesFromState_data()
{
    QTest::addColumn<QVariantMap>("overrides");
    QTest::addColumn<QStringList>("current"); // current texts of the five lists in form order
    QTest::newRow("derived") << QVariantMap {} << QStringList { "Layer 2", "Joint Stereo", "192", "Model 1", "Off" };
    QTest::newRow("Layer I 448") << QVariantMap { { "Layer", "Layer 1" }, { "Bitrate", "448" } }
                                 << QStringList { "Layer 1", "Joint Stereo", "448", "Model 1", "Off" };
    QTest::newRow("LSF 8") << QVariantMap { { "Audio Frequency", 22050 }, { "Bitrate", "8" } }
                           << QStringList { "Layer 2", "Joint Stereo", "8", "Model 1", "Off" };
    QTest::newRow("empty bitrate") << QVariantMap { { "Bitrate", "" } }
                                   << QStringList { "Layer 2", "Joint Stereo", "", "Model 1", "Off" };
    QTest::newRow("bitrate not in table")
        << QVariantMap { { "Bitrate", "448" } } << QStringList { "Layer 2", "Joint Stereo", "", "Model 1", "Off" };
    QTest::newRow("other entries") << QVariantMap { { "Mode", "Mono" }, { "Psych Model", "Model 2" },
        { "Emphasis", "CCITT J.17" } }
                                   << QStringList { "Layer 2", "Mono", "192", "Model 2", "CCITT J.17" };
    QTest::newRow("micro sign") << QVariantMap { { "Emphasis", QStringLiteral("50/15 \u00B5s") } }
                                << QStringList { "Layer 2", "Joint Stereo", "192", "Model 1",
                                       QStringLiteral("50/15 \u00B5s") };
    QTest::newRow("case matters") << QVariantMap { { "Mode", "mono" }, { "Layer", "LAYER 2" } }
                                  << QStringList { "", "", "192", "Model 1", "Off" };
}

void TestMPEGAudioPage::currentEntriesFromState()
{
    QFETCH(QVariantMap, overrides);
    QFETCH(QStringList, current);
    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    page->updateState(fullState(overrides));
    for (int i = 0; i < listNames.size(); ++i) {
        auto* list = page->findChild<QComboBox*>(listNames.at(i));
        QCOMPARE(list->currentText(), current.at(i));
        QCOMPARE(list->currentIndex() < 0, current.at(i).isEmpty());
    }
    QCOMPARE(spy.count(), 0);
}

void TestMPEGAudioPage::listChoiceEmits_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("item");
    QTest::newRow("layer") << "layerList"
                           << "Layer 1"
                           << "Layer";
    QTest::newRow("mode") << "modeList"
                          << "Mono"
                          << "Mode";
    QTest::newRow("bitrate") << "bitrateList"
                             << "384"
                             << "Bitrate";
    QTest::newRow("psych") << "psychList"
                           << "Model 2"
                           << "Psych Model";
    QTest::newRow("emphasis") << "emphasisList"
                              << "CCITT J.17"
                              << "Emphasis";
}

void TestMPEGAudioPage::listChoiceEmits()
{
    QFETCH(QString, list);
    QFETCH(QString, text);
    QFETCH(QString, item);

    page->updateState(fullState());
    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    QVERIFY(chooseEntry(page->findChild<QComboBox*>(list), text));
    QCOMPARE(spy.count(), 1);
    const ConfigState state = spiedState(spy);
    QCOMPARE(state.keys(), QStringList { item });
    QCOMPARE(state.value(item).value.userType(), int(QMetaType::QString));
    QCOMPARE(state.value(item).value.toString(), text);
    QVERIFY(state.value(item).enabled);
}

void TestMPEGAudioPage::choosingCurrentEntryStillEmits()
{
    page->updateState(fullState());
    auto* modeList = control<QComboBox>("modeList");
    QCOMPARE(modeList->currentText(), QStringLiteral("Joint Stereo"));
    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    QVERIFY(chooseEntry(modeList, QStringLiteral("Joint Stereo")));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spiedState(spy).value("Mode").value.toString(), QStringLiteral("Joint Stereo"));
}

void TestMPEGAudioPage::keyboardChoiceEmits()
{
    // Arrow keys on the closed list choose the next entry, as a user does
    // with the keyboard.
    page->updateState(fullState());
    auto* psychList = control<QComboBox>("psychList");
    psychList->setFocus();
    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    QTest::keyClick(psychList, Qt::Key_Down);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spiedState(spy).value("Psych Model").value.toString(), QStringLiteral("Model 2"));
}

void TestMPEGAudioPage::layerChoiceRefillsBitrates_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<QString>("layer");
    QTest::addColumn<QString>("lastEntry");
    // The one-item state holds no frequency, so the MPEG-1 tables apply until
    // the owner answers.
    QTest::newRow("Layer 1 at 22050") << 22050 << "Layer 1"
                                      << "448";
    QTest::newRow("Layer 2 at 48000") << 48000 << "Layer 2"
                                      << "384";
}

void TestMPEGAudioPage::layerChoiceRefillsBitrates()
{
    QFETCH(int, frequency);
    QFETCH(QString, layer);
    QFETCH(QString, lastEntry);
    page->updateState(fullState({ { "Audio Frequency", frequency }, { "Bitrate", "" } }));
    auto* bitrateList = control<QComboBox>("bitrateList");
    QCOMPARE(bitrateList->currentIndex(), -1);

    QVERIFY(chooseEntry(control<QComboBox>("layerList"), layer));
    QCOMPARE(bitrateList->count(), 14);
    QCOMPARE(bitrateList->itemText(13), lastEntry);
    QCOMPARE(bitrateList->currentIndex(), 0);
}

void TestMPEGAudioPage::checkBoxClickEmits_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("word"); // the flag word the state sets first
    QTest::newRow("private on") << "privateCheck"
                                << "Private" << 0;
    QTest::newRow("private off") << "privateCheck"
                                 << "Private" << 1;
    QTest::newRow("copyright on") << "copyrightCheck"
                                  << "Copyright" << 0;
    QTest::newRow("crc on") << "crcCheck"
                            << "Error Protection" << 0;
    QTest::newRow("crc off from 5") << "crcCheck"
                                    << "Error Protection" << 5;
    QTest::newRow("original off") << "originalCheck"
                                  << "Original" << 1;
}

void TestMPEGAudioPage::checkBoxClickEmits()
{
    QFETCH(QString, box);
    QFETCH(QString, item);
    QFETCH(int, word);
    page->updateState(fullState({ { item, word } }));
    auto* check = page->findChild<QCheckBox*>(box);
    QCOMPARE(check->isChecked(), word != 0);

    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    QTest::mouseClick(check, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    const ConfigState state = spiedState(spy);
    QCOMPARE(state.keys(), QStringList { item });
    QCOMPARE(state.value(item).value.userType(), int(QMetaType::Bool));
    QCOMPARE(state.value(item).value.toBool(), word == 0);
}

void TestMPEGAudioPage::checkBoxFromStateEmitsNothing_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("checked");
    QTest::newRow("int 2") << QVariant(2) << true;
    QTest::newRow("int 1") << QVariant(1) << true;
    QTest::newRow("int -1") << QVariant(-1) << true;
    QTest::newRow("int 0") << QVariant(0) << false;
    QTest::newRow("bool true") << QVariant(true) << true;
}

void TestMPEGAudioPage::checkBoxFromStateEmitsNothing()
{
    QFETCH(QVariant, value);
    QFETCH(bool, checked);
    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    ConfigState state = fullState();
    for (const char* item : { "Private", "Copyright", "Error Protection", "Original" })
        state.insert(QLatin1String(item), ConfigItem(value, true));
    page->updateState(state);
    for (const QString& name : checkNames)
        QCOMPARE(page->findChild<QCheckBox*>(name)->isChecked(), checked);
    // From checked back to clear, so each box really toggles once.
    page->updateState(fullState());
    for (const QString& name : checkNames)
        QVERIFY(!page->findChild<QCheckBox*>(name)->isChecked());
    QCOMPARE(spy.count(), 0);
}

void TestMPEGAudioPage::enabledFlag_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("item");
    QTest::newRow("layer") << "layerList"
                           << "Layer";
    QTest::newRow("mode") << "modeList"
                          << "Mode";
    QTest::newRow("bitrate") << "bitrateList"
                             << "Bitrate";
    QTest::newRow("psych") << "psychList"
                           << "Psych Model";
    QTest::newRow("emphasis") << "emphasisList"
                              << "Emphasis";
    QTest::newRow("private") << "privateCheck"
                             << "Private";
    QTest::newRow("copyright") << "copyrightCheck"
                               << "Copyright";
    QTest::newRow("crc") << "crcCheck"
                         << "Error Protection";
    QTest::newRow("original") << "originalCheck"
                              << "Original";
}

void TestMPEGAudioPage::enabledFlag()
{
    QFETCH(QString, control);
    QFETCH(QString, item);
    auto* widget = page->findChild<QWidget*>(control);
    QVERIFY(widget);

    ConfigState state = fullState();
    const QVariant value = state.value(item).value;
    state.insert(item, ConfigItem(value, false));
    page->updateState(state);
    QVERIFY(!widget->isEnabled());
    // Only the item's own control follows its flag.
    for (const QString& other : listNames + checkNames) {
        if (other != control)
            QVERIFY2(page->findChild<QWidget*>(other)->isEnabled(), qPrintable(other));
    }

    page->updateState(fullState());
    QVERIFY(widget->isEnabled());
}

void TestMPEGAudioPage::missingItems()
{
    page->updateState(fullState({ { "Private", 1 } }));
    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    page->updateState(ConfigState());
    for (const QString& name : listNames) {
        auto* list = page->findChild<QComboBox*>(name);
        QCOMPARE(list->currentIndex(), -1);
        QVERIFY(list->isEnabled());
    }
    for (const QString& name : checkNames)
        QVERIFY(!page->findChild<QCheckBox*>(name)->isChecked());
    // No frequency and no layer: the MPEG-1 Layer II rates.
    QCOMPARE(control<QComboBox>("bitrateList")->itemText(13), QStringLiteral("384"));
    QCOMPARE(spy.count(), 0);
}

QTEST_MAIN(TestMPEGAudioPage)
#include "tst_mpegaudiopage.moc"
