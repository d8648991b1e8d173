// The MPEG audio page, the basic page and the ToolBox on real widgets.
#include "dialogdriver.h"
#include "model/statemodel.h"
#include "pages/basicpage.h"
#include "pages/mpegaudiopage.h"
#include "rows.h"
#include "settingsfields.h"
#include "widgets/toolbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

Q_DECLARE_METATYPE(ConfigItem)

namespace {

const QStringList controls = { "layerList", "modeList", "bitrateList", "psychList", "emphasisList", "privateCheck",
    "copyrightCheck", "crcCheck", "originalCheck" };

// Derived for MPEG-1 Layer II, 48 kHz, 192 kbps, joint stereo, then `overrides`.
ConfigState fullState(const QVariantMap& overrides = {})
{
    ConfigState state = derivePageState(
        withFields({}, QStringLiteral("layer=2 mode=1 psychModel=1 bitrateIndex=10 sampleFrequency=48000")));
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
        state.insert(it.key(), ConfigItem(it.value(), true));
    return state;
}

// name, overrides ("missing": no items), the texts of the lists and boxes, and of bitrate
// slot 14, which tells the tables of ISO/IEC 11172-3 and 13818-3 apart
const std::tuple<const char*, QVariantMap, const char*, const char*> shownRows[] = {
    { "derived", {}, "Layer 2|Joint Stereo|192|Model 1|Off|0|0|0|0", "384" },
    { "bitrate not in table", { { ItemName::Bitrate, "448" } }, "Layer 2|Joint Stereo||Model 1|Off|0|0|0|0", "384" },
    { "22050 Layer 2", { { ItemName::AudioFrequency, 22050 }, { ItemName::Bitrate, "160" } },
        "Layer 2|Joint Stereo|160|Model 1|Off|0|0|0|0", "160" },
    { "11025 is MPEG-1", { { ItemName::AudioFrequency, 11025 }, { ItemName::Layer, "Layer 1" } },
        "Layer 1|Joint Stereo|192|Model 1|Off|0|0|0|0", "448" },
    { "wrong case counts as Layer II", { { ItemName::Layer, "layer 1" } }, "|Joint Stereo|192|Model 1|Off|0|0|0|0",
        "384" },
    { "missing", {}, "|||||0|0|0|0", "384" },
};

// name, the user's step, the item it emits, the item's value
const std::tuple<const char*, const char*, QString, QVariant> actionRows[] = {
    { "layer", "choose:layerList:Layer 1", ItemName::Layer, "Layer 1" },
    { "the current mode", "choose:modeList:Joint Stereo", ItemName::Mode, "Joint Stereo" },
    { "bitrate", "choose:bitrateList:384", ItemName::Bitrate, "384" },
    { "private on", "click:privateCheck", ItemName::Private, true },
    { "crc off from 5", "click:crcCheck", ItemName::ErrorProtection, false },
    { "psych model", "choose:psychList:Model 2", ItemName::PsychModel, "Model 2" },
    { "emphasis", "choose:emphasisList:CCITT J.17", ItemName::Emphasis, "CCITT J.17" },
    { "copyright on", "click:copyrightCheck", ItemName::Copyright, true },
    { "original off from 1", "click:originalCheck", ItemName::Original, false },
};

} // namespace

class TestPages : public QObject
{
    Q_OBJECT

    std::unique_ptr<MPEGAudioPage> page;

private slots:
    void initTestCase() { qRegisterMetaType<ConfigState>("ConfigState"); }

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

    // The one-item state holds no frequency: the MPEG-1 tables until the owner answers.
    void layerChoiceRefillsBitrates()
    {
        page->updateState(fullState({ { ItemName::AudioFrequency, 22050 }, { ItemName::Bitrate, "" } }));
        QCOMPARE(performSteps(page.get(), "choose:layerList:Layer 1;expect:bitrateList=32"), QString());
        QCOMPARE(page->findChild<QComboBox*>(QStringLiteral("bitrateList"))->itemText(13), QStringLiteral("448"));
    }

    void showsState_data() { addRows(shownRows); }

    // A state shown emits no change; a missing item leaves its control enabled.
    void showsState()
    {
        const auto& [name, overrides, shown, slot14] = currentRow(shownRows);
        page->updateState(fullState({ { ItemName::Private, 1 } }));
        QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
        page->updateState(QLatin1String(name) == "missing" ? ConfigState() : fullState(overrides));
        QStringList texts;
        for (const QString& control : controls) {
            const auto* const list = page->findChild<QComboBox*>(control);
            texts << (list ? list->currentText() : QString::number(page->findChild<QCheckBox*>(control)->isChecked()));
            QVERIFY(page->findChild<QWidget*>(control)->isEnabled());
        }
        QCOMPARE(texts.join(QLatin1Char('|')), QString::fromUtf8(shown));
        const auto* const bitrates = page->findChild<QComboBox*>(QStringLiteral("bitrateList"));
        QCOMPARE(bitrates->count(), 14);
        QCOMPARE(bitrates->itemText(13), QLatin1String(slot14));
        QCOMPARE(spy.count(), 0);
    }

    void userActionEmitsOneItem_data() { addRows(actionRows); }

    void userActionEmitsOneItem()
    {
        const auto& [name, step, item, value] = currentRow(actionRows);
        page->updateState(fullState({ { ItemName::ErrorProtection, 5 }, { ItemName::Original, 1 } }));
        QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
        QCOMPARE(performStep(page.get(), step), QString());
        QCOMPARE(spy.count(), 1);
        const auto state = spy.at(0).at(0).value<ConfigState>();
        QCOMPARE(state.keys(), QStringList { item });
        QCOMPARE(state.value(item).value, value);
        QCOMPARE(state.value(item).value.userType(), value.userType());
        QVERIFY(state.value(item).enabled);
    }

    // States both ways; one that arrives while the section is closed shows when it opens.
    void basicPageRelaysBothWays()
    {
        BasicPage basic;
        basic.show();
        QVERIFY(QTest::qWaitForWindowExposed(&basic));
        QSignalSpy spy(&basic, SIGNAL(stateChanged(ConfigState)));
        QCOMPARE(performSteps(&basic, "choose:modeList:Dual Channel;click:originalCheck"), QString());
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).value<ConfigState>().value(ItemName::Mode).value, QVariant("Dual Channel"));
        QCOMPARE(spy.at(1).at(0).value<ConfigState>().value(ItemName::Original).value, QVariant(true));
        auto* const section = basic.findChild<QToolButton*>();
        QTest::mouseClick(section, Qt::LeftButton);
        QVERIFY(!basic.findChild<MPEGAudioPage*>()->isVisible());
        basic.updateState(
            derivePageState(withFields({}, QStringLiteral("mode=3 layer=1 bitrateIndex=14 sampleFrequency=44100"))));
        QTest::mouseClick(section, Qt::LeftButton);
        QVERIFY(basic.findChild<MPEGAudioPage*>()->isVisible());
        QCOMPARE(performSteps(&basic, "expect:modeList=Mono;expect:bitrateList=448;expect:originalCheck=0"), QString());
        QCOMPARE(spy.count(), 2);
    }

    // Closing a section hides its widget only and moves the next header up under it;
    // opening restores. A vertical scroll bar only when needed, never a horizontal one.
    void toolBox()
    {
        const auto show = [](ToolBox& box, int sections, QSize size) {
            for (int i = 0; i < sections; ++i) {
                auto* const widget = new QWidget(&box);
                widget->setFixedHeight(100);
                box.addItem(widget, QStringLiteral("Section %1").arg(i), QString(), QString());
            }
            box.resize(size);
            box.show();
            return QTest::qWaitForWindowExposed(&box);
        };
        ToolBox box;
        QVERIFY(show(box, 3, QSize(300, 500)));
        QList<QToolButton*> buttons = box.findChildren<QToolButton*>();
        std::sort(buttons.begin(), buttons.end(), [](QToolButton* a, QToolButton* b) { return a->y() < b->y(); });
        QCOMPARE(buttons.size(), 3);
        const int nextTop = buttons.at(2)->y();
        QTest::mouseClick(buttons.at(1), Qt::LeftButton);
        QVERIFY(!buttons.at(1)->isChecked());
        QTRY_VERIFY(buttons.at(2)->y() < nextTop - 90);
        QVERIFY(buttons.at(2)->y() - buttons.at(1)->geometry().bottom() < 30);
        const auto hidden = [](QWidget* w) { return w->height() == 100 && !w->isVisible(); };
        const QList<QWidget*> widgets = box.findChildren<QWidget*>();
        QCOMPARE(std::count_if(widgets.begin(), widgets.end(), hidden), 1);
        QTest::mouseClick(buttons.at(1), Qt::LeftButton);
        QTRY_COMPARE(buttons.at(2)->y(), nextTop);
        QVERIFY(!box.findChild<QScrollArea*>()->verticalScrollBar()->isVisible());
        ToolBox narrow;
        QVERIFY(show(narrow, 4, QSize(180, 260)));
        auto* const area = narrow.findChild<QScrollArea*>();
        QTRY_VERIFY(area->verticalScrollBar()->isVisible());
        QTRY_COMPARE(area->widget()->width(), area->viewport()->width());
        QVERIFY(!area->horizontalScrollBar()->isVisible());
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
