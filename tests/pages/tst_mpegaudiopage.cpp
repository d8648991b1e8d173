#include "model/statemodel.h"
#include "pages/mpegaudiopage.h"
#include "pagetesthelpers.h"

#include <QCheckBox>
#include <memory>

namespace {

const QStringList listNames = { "layerList", "modeList", "bitrateList", "psychList", "emphasisList" };
const QStringList checkNames = { "privateCheck", "copyrightCheck", "crcCheck", "originalCheck" };
// Control -> the item it shows and sends.
const QList<QPair<QString, QString>> itemOfControl
    = { { "layerList", "Layer" }, { "modeList", "Mode" }, { "bitrateList", "Bitrate" }, { "psychList", "Psych Model" },
          { "emphasisList", "Emphasis" }, { "privateCheck", "Private" }, { "copyrightCheck", "Copyright" },
          { "crcCheck", "Error Protection" }, { "originalCheck", "Original" } };

QStringList entries(const QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->itemText(i));
    return texts;
}

// What the dialog derives for MPEG-1 Layer II, 48 kHz, 192 kbps, with items
// replaced by `overrides`.
ConfigState fullState(const QVariantMap& overrides = {})
{
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

} // namespace

// The MPEG audio page on real widgets: how it shows states and what a user's
// action on each control emits.
class TestMPEGAudioPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerStateType(); }
    void init();
    void cleanup() { page.reset(); }

    void fillLists();
    void bitrateListByFrequencyAndLayer_data();
    void bitrateListByFrequencyAndLayer();
    void currentEntriesFromState_data();
    void currentEntriesFromState();
    void listChoiceEmits_data();
    void listChoiceEmits();
    void layerChoiceRefillsBitrates_data();
    void layerChoiceRefillsBitrates();
    void checkBoxClickEmits_data();
    void checkBoxClickEmits();
    void enabledFlag_data();
    void enabledFlag();
    void missingItems();

private:
    template<typename T = QComboBox>
    T* control(const QString& name) const
    {
        return page->findChild<T*>(name);
    }

    std::unique_ptr<MPEGAudioPage> page;
};

void TestMPEGAudioPage::init()
{
    page = std::make_unique<MPEGAudioPage>();
    page->fillLists();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
}

// A second fill replaces the entries instead of appending to them.
void TestMPEGAudioPage::fillLists()
{
    page->fillLists();
    QCOMPARE(entries(control("modeList")), QStringList({ "Stereo", "Joint Stereo", "Dual Channel", "Mono" }));
    QCOMPARE(control("modeList")->currentIndex(), 0);
    QCOMPARE(control("bitrateList")->count(), 0);
}

void TestMPEGAudioPage::bitrateListByFrequencyAndLayer_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<QString>("layer");
    QTest::addColumn<QString>("expected");
    const QString mpeg1Layer1 = "32 64 96 128 160 192 224 256 288 320 352 384 416 448";
    const QString mpeg1Layer2 = "32 48 56 64 80 96 112 128 160 192 224 256 320 384";
    const QString lsfLayer1 = "32 48 56 64 80 96 112 128 144 160 176 192 224 256";
    const QString lsfLayer2 = "8 16 24 32 40 48 56 64 80 96 112 128 144 160";
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
    QFETCH(QString, expected);
    page->updateState(fullState({ { "Audio Frequency", frequency }, { "Layer", layer } }));
    QCOMPARE(entries(control("bitrateList")).join(QLatin1Char(' ')), expected);
}

void TestMPEGAudioPage::currentEntriesFromState_data()
{
    QTest::addColumn<QVariantMap>("overrides");
    // Current texts of the five lists in form order, then the four boxes.
    QTest::addColumn<QString>("current");
    QTest::newRow("derived") << QVariantMap {} << "Layer 2|Joint Stereo|192|Model 1|Off|0000";
    QTest::newRow("Layer I 448") << QVariantMap { { "Layer", "Layer 1" }, { "Bitrate", "448" } }
                                 << "Layer 1|Joint Stereo|448|Model 1|Off|0000";
    QTest::newRow("LSF 8") << QVariantMap { { "Audio Frequency", 22050 }, { "Bitrate", "8" } }
                           << "Layer 2|Joint Stereo|8|Model 1|Off|0000";
    QTest::newRow("bitrate not in table")
        << QVariantMap { { "Bitrate", "448" } } << "Layer 2|Joint Stereo||Model 1|Off|0000";
    QTest::newRow("other entries") << QVariantMap { { "Mode", "Mono" }, { "Psych Model", "Model 2" },
        { "Emphasis", "CCITT J.17" } }
                                   << "Layer 2|Mono|192|Model 2|CCITT J.17|0000";
    QTest::newRow("micro sign") << QVariantMap { { "Emphasis", QStringLiteral("50/15 \u00B5s") } }
                                << QStringLiteral("Layer 2|Joint Stereo|192|Model 1|50/15 \u00B5s|0000");
    QTest::newRow("case matters") << QVariantMap { { "Mode", "mono" }, { "Layer", "LAYER 2" } }
                                  << "||192|Model 1|Off|0000";
    QTest::newRow("flag words") << QVariantMap { { "Private", 2 }, { "Copyright", -1 }, { "Error Protection", 0 },
        { "Original", true } } << "Layer 2|Joint Stereo|192|Model 1|Off|1101";
}

// Setting a control from a state never emits a change.
void TestMPEGAudioPage::currentEntriesFromState()
{
    QFETCH(QVariantMap, overrides);
    QFETCH(QString, current);
    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    page->updateState(fullState(overrides));
    const QStringList texts = current.split(QLatin1Char('|'));
    for (int i = 0; i < listNames.size(); ++i) {
        auto* list = control(listNames.at(i));
        QCOMPARE(list->currentText(), texts.at(i));
        QCOMPARE(list->currentIndex() < 0, texts.at(i).isEmpty());
    }
    for (int i = 0; i < checkNames.size(); ++i)
        QCOMPARE(control<QCheckBox>(checkNames.at(i))->isChecked(), texts.last().at(i) == QLatin1Char('1'));
    // Back to clear, so a checked box really toggles.
    page->updateState(fullState());
    for (const QString& name : checkNames)
        QVERIFY(!control<QCheckBox>(name)->isChecked());
    QCOMPARE(spy.count(), 0);
}

void TestMPEGAudioPage::listChoiceEmits_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    const QList<QPair<QString, QString>> choices
        = { { "layerList", "Layer 1" }, { "modeList", "Mono" }, { "bitrateList", "384" }, { "psychList", "Model 2" },
              { "emphasisList", "CCITT J.17" }, { "modeList", "Joint Stereo" } }; // the last one is the current entry
    for (const auto& [list, text] : choices)
        QTest::addRow("%s %s", qPrintable(list), qPrintable(text)) << list << text;
}

void TestMPEGAudioPage::listChoiceEmits()
{
    QFETCH(QString, list);
    QFETCH(QString, text);
    const QString item = std::find_if(itemOfControl.cbegin(), itemOfControl.cend(), [&](const auto& entry) {
        return entry.first == list;
    })->second;

    page->updateState(fullState());
    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    QVERIFY(chooseEntry(control(list), text));
    QCOMPARE(spy.count(), 1);
    const ConfigState state = spiedState(spy);
    QCOMPARE(state.keys(), QStringList { item });
    QCOMPARE(state.value(item).value.userType(), int(QMetaType::QString));
    QCOMPARE(state.value(item).value.toString(), text);
    QVERIFY(state.value(item).enabled);
}

void TestMPEGAudioPage::layerChoiceRefillsBitrates_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<QString>("layer");
    QTest::addColumn<QString>("lastEntry");
    // The one-item state holds no frequency, so the MPEG-1 tables apply until
    // the owner answers.
    QTest::newRow("Layer 1 at 22050") << 22050 << "Layer 1" << QStringLiteral("448");
    QTest::newRow("Layer 2 at 48000") << 48000 << "Layer 2" << QStringLiteral("384");
}

void TestMPEGAudioPage::layerChoiceRefillsBitrates()
{
    QFETCH(int, frequency);
    QFETCH(QString, layer);
    QFETCH(QString, lastEntry);
    page->updateState(fullState({ { "Audio Frequency", frequency }, { "Bitrate", "" } }));
    auto* bitrateList = control("bitrateList");
    QCOMPARE(bitrateList->currentIndex(), -1);

    QVERIFY(chooseEntry(control("layerList"), layer));
    QCOMPARE(bitrateList->count(), 14);
    QCOMPARE(bitrateList->itemText(13), lastEntry);
    QCOMPARE(bitrateList->currentIndex(), 0);
}

void TestMPEGAudioPage::checkBoxClickEmits_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("word"); // the flag word the state sets first
    QTest::newRow("private on") << "privateCheck" << QStringLiteral("Private") << 0;
    QTest::newRow("copyright on") << "copyrightCheck" << QStringLiteral("Copyright") << 0;
    QTest::newRow("crc off from 5") << "crcCheck" << QStringLiteral("Error Protection") << 5;
    QTest::newRow("original off") << "originalCheck" << QStringLiteral("Original") << 1;
}

void TestMPEGAudioPage::checkBoxClickEmits()
{
    QFETCH(QString, box);
    QFETCH(QString, item);
    QFETCH(int, word);
    page->updateState(fullState({ { item, word } }));
    auto* check = control<QCheckBox>(box);
    QCOMPARE(check->isChecked(), word != 0);

    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    QTest::mouseClick(check, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    const ConfigState state = spiedState(spy);
    QCOMPARE(state.keys(), QStringList { item });
    QCOMPARE(state.value(item).value.userType(), int(QMetaType::Bool));
    QCOMPARE(state.value(item).value.toBool(), word == 0);
}

void TestMPEGAudioPage::enabledFlag_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("item");
    for (const auto& [name, item] : itemOfControl)
        QTest::addRow("%s", qPrintable(name)) << name << item;
}

void TestMPEGAudioPage::enabledFlag()
{
    QFETCH(QString, control);
    QFETCH(QString, item);
    auto* widget = page->findChild<QWidget*>(control);
    QVERIFY(widget);

    ConfigState state = fullState();
    state.insert(item, ConfigItem(state.value(item).value, false));
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
        QCOMPARE(control(name)->currentIndex(), -1);
        QVERIFY(control(name)->isEnabled());
    }
    for (const QString& name : checkNames)
        QVERIFY(!control<QCheckBox>(name)->isChecked());
    // No frequency and no layer: the MPEG-1 Layer II rates.
    QCOMPARE(control("bitrateList")->itemText(13), QStringLiteral("384"));
    QCOMPARE(spy.count(), 0);
}

QTEST_MAIN(TestMPEGAudioPage)
#include "tst_mpegaudiopage.moc"
