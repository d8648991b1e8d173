// The MPEG audio page on real widgets: how it shows states and what a user's
// action on each control emits.
#include "dialogdriver.h"
#include "model/statemodel.h"
#include "pages/mpegaudiopage.h"
#include "pagetesthelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <memory>

namespace {

const QStringList controls = { "layerList", "modeList", "bitrateList", "psychList", "emphasisList", "privateCheck",
    "copyrightCheck", "crcCheck", "originalCheck" };
const QStringList items = { ItemName::Layer, ItemName::Mode, ItemName::Bitrate, ItemName::PsychModel,
    ItemName::Emphasis, ItemName::Private, ItemName::Copyright, ItemName::ErrorProtection, ItemName::Original };

// What the dialog derives for MPEG-1 Layer II, 48 kHz, 192 kbps, joint
// stereo, with items replaced by `overrides`.
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

class TestMPEGAudioPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerStateType(); }
    void init()
    {
        page = std::make_unique<MPEGAudioPage>();
        // A second fill replaces the entries instead of appending to them.
        page->fillLists();
        page->fillLists();
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        QCOMPARE(page->findChild<QComboBox*>(QStringLiteral("modeList"))->count(), 4);
    }
    void cleanup() { page.reset(); }

    // Slot 14 tells the tables of ISO/IEC 11172-3 and 13818-3 apart.
    void bitrateListFollowsFrequencyAndLayer_data()
    {
        QTest::addColumn<QVariantMap>("overrides"); // "none": no items at all
        QTest::addColumn<QString>("slot14");
        QTest::newRow("22050 Layer 2") << QVariantMap { { ItemName::AudioFrequency, 22050 } } << "160";
        QTest::newRow("24000 Layer 1") << QVariantMap { { ItemName::AudioFrequency, 24000 },
            { ItemName::Layer, "Layer 1" } }
                                       << "256";
        QTest::newRow("11025 is MPEG-1") << QVariantMap { { ItemName::AudioFrequency, 11025 },
            { ItemName::Layer, "Layer 1" } }
                                         << "448";
        QTest::newRow("wrong case counts as Layer II") << QVariantMap { { ItemName::Layer, "layer 1" } } << "384";
        QTest::newRow("none") << QVariantMap() << "384";
    }

    void bitrateListFollowsFrequencyAndLayer()
    {
        QFETCH(QVariantMap, overrides);
        QFETCH(QString, slot14);
        page->updateState(QTest::currentDataTag() == QLatin1String("none") ? ConfigState() : fullState(overrides));
        const auto* const bitrates = page->findChild<QComboBox*>(QStringLiteral("bitrateList"));
        QCOMPARE(bitrates->count(), 14);
        QCOMPARE(bitrates->itemText(13), slot14);
    }

    // The one-item state holds no frequency, so the MPEG-1 tables apply until
    // the owner answers.
    void layerChoiceRefillsBitrates()
    {
        page->updateState(fullState({ { ItemName::AudioFrequency, 22050 }, { ItemName::Bitrate, "" } }));
        QCOMPARE(performStep(page.get(), QStringLiteral("choose:layerList:Layer 1")), QString());
        QCOMPARE(page->findChild<QComboBox*>(QStringLiteral("bitrateList"))->itemText(13), QStringLiteral("448"));
        QCOMPARE(performStep(page.get(), QStringLiteral("expect:bitrateList=32")), QString());
    }

    void showsState_data()
    {
        QTest::addColumn<QVariantMap>("overrides"); // "missing": no items at all
        QTest::addColumn<QString>("shown"); // the five lists, then the four boxes
        QTest::newRow("derived") << QVariantMap {} << "Layer 2|Joint Stereo|192|Model 1|Off|0|0|0|0";
        QTest::newRow("LSF 8") << QVariantMap { { ItemName::AudioFrequency, 22050 }, { ItemName::Bitrate, "8" } }
                               << "Layer 2|Joint Stereo|8|Model 1|Off|0|0|0|0";
        QTest::newRow("bitrate not in table")
            << QVariantMap { { ItemName::Bitrate, "448" } } << "Layer 2|Joint Stereo||Model 1|Off|0|0|0|0";
        QTest::newRow("micro sign") << QVariantMap { { ItemName::Emphasis, QStringLiteral("50/15 \u00B5s") } }
                                    << QStringLiteral("Layer 2|Joint Stereo|192|Model 1|50/15 \u00B5s|0|0|0|0");
        QTest::newRow("case matters") << QVariantMap { { ItemName::Mode, "mono" }, { ItemName::Layer, "LAYER 2" } }
                                      << "||192|Model 1|Off|0|0|0|0";
        QTest::newRow("flag words") << QVariantMap { { ItemName::Private, 2 }, { ItemName::Copyright, -1 },
            { ItemName::ErrorProtection, 0 }, { ItemName::Original, true } }
                                    << "Layer 2|Joint Stereo|192|Model 1|Off|1|1|0|1";
        QTest::newRow("missing") << QVariantMap {} << "|||||0|0|0|0";
    }

    // Setting the controls from a state never emits a change; a missing item
    // leaves its control enabled.
    void showsState()
    {
        QFETCH(QVariantMap, overrides);
        QFETCH(QString, shown);
        page->updateState(fullState({ { ItemName::Private, 1 } }));
        QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
        page->updateState(QTest::currentDataTag() == QLatin1String("missing") ? ConfigState() : fullState(overrides));
        QStringList texts;
        for (const QString& name : controls) {
            const auto* const list = page->findChild<QComboBox*>(name);
            texts << (list ? list->currentText() : QString::number(page->findChild<QCheckBox*>(name)->isChecked()));
            QVERIFY(page->findChild<QWidget*>(name)->isEnabled());
        }
        QCOMPARE(texts.join(QLatin1Char('|')), shown);
        QCOMPARE(spy.count(), 0);
    }

    void userActionEmitsOneItem_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("layer") << "choose:layerList:Layer 1" << ItemName::Layer << QVariant("Layer 1");
        QTest::newRow("the current mode")
            << "choose:modeList:Joint Stereo" << ItemName::Mode << QVariant("Joint Stereo");
        QTest::newRow("bitrate") << "choose:bitrateList:384" << ItemName::Bitrate << QVariant("384");
        QTest::newRow("model") << "choose:psychList:Model 2" << ItemName::PsychModel << QVariant("Model 2");
        QTest::newRow("emphasis") << "choose:emphasisList:CCITT J.17" << ItemName::Emphasis << QVariant("CCITT J.17");
        QTest::newRow("private on") << "click:privateCheck" << ItemName::Private << QVariant(true);
        QTest::newRow("copyright on") << "click:copyrightCheck" << ItemName::Copyright << QVariant(true);
        QTest::newRow("crc off from 5") << "click:crcCheck" << ItemName::ErrorProtection << QVariant(false);
        QTest::newRow("original off") << "click:originalCheck" << ItemName::Original << QVariant(false);
    }

    void userActionEmitsOneItem()
    {
        QFETCH(QString, step);
        QFETCH(QString, item);
        QFETCH(QVariant, value);
        page->updateState(fullState({ { ItemName::ErrorProtection, 5 }, { ItemName::Original, 1 } }));
        QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
        QCOMPARE(performStep(page.get(), step), QString());
        QCOMPARE(spy.count(), 1);
        const ConfigState state = spiedState(spy);
        QCOMPARE(state.keys(), QStringList { item });
        QCOMPARE(state.value(item).value, value);
        QCOMPARE(state.value(item).value.userType(), value.userType());
        QVERIFY(state.value(item).enabled);
    }

    // Only the item's own control follows its flag.
    void enabledFlag()
    {
        for (int i = 0; i < controls.size(); ++i) {
            ConfigState state = fullState();
            state.insert(items.at(i), ConfigItem(state.value(items.at(i)).value, false));
            page->updateState(state);
            for (const QString& name : controls)
                QCOMPARE(page->findChild<QWidget*>(name)->isEnabled(), name != controls.at(i));
        }
    }

private:
    std::unique_ptr<MPEGAudioPage> page;
};

QTEST_MAIN(TestMPEGAudioPage)
#include "tst_mpegaudiopage.moc"
