#include "model/statemodel.h"
#include "pages/basicpage.h"
#include "pages/mpegaudiopage.h"
#include "pagetesthelpers.h"

#include <QCheckBox>
#include <QToolButton>
#include <memory>

// The basic page relays states both ways and holds the MPEG audio page in
// the "Audio Format" section.
class TestBasicPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerStateType(); }
    void init() { page = std::make_unique<BasicPage>(); }
    void cleanup() { page.reset(); }
    void relaysChanges_data();
    void relaysChanges();
    void forwardsStates();
    void closedSectionKeepsLatestState();

private:
    static ConfigState derived(int32_t mode, int32_t privateBit);
    std::unique_ptr<BasicPage> page;
};

ConfigState TestBasicPage::derived(int32_t mode, int32_t privateBit)
{
    EncoderSettings settings {};
    settings.layer = 1;
    settings.mode = mode;
    settings.psychModel = 2;
    settings.bitrateIndex = 14;
    settings.sampleFrequency = 44100;
    settings.privateBit = privateBit;
    return derivePageState(settings);
}

void TestBasicPage::relaysChanges_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("item");
    QTest::newRow("mode") << "modeList" << QStringLiteral("Dual Channel") << QStringLiteral("Mode");
    QTest::newRow("bitrate") << "bitrateList" << QStringLiteral("416") << QStringLiteral("Bitrate");
}

void TestBasicPage::relaysChanges()
{
    QFETCH(QString, list);
    QFETCH(QString, text);
    QFETCH(QString, item);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    page->updateState(derived(0, 0));

    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    QVERIFY(chooseEntry(page->findChild<QComboBox*>(list), text));
    QCOMPARE(spy.count(), 1);
    const ConfigState state = spiedState(spy);
    QCOMPARE(state.keys(), QStringList { item });
    QCOMPARE(state.value(item).value.toString(), text);

    QTest::mouseClick(page->findChild<QCheckBox*>(QStringLiteral("originalCheck")), Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spiedState(spy, 1).value("Original").value, QVariant(true));
}

void TestBasicPage::forwardsStates()
{
    QSignalSpy spy(page.get(), SIGNAL(stateChanged(ConfigState)));
    page->updateState(derived(3, 1));
    QCOMPARE(page->findChild<QComboBox*>(QStringLiteral("modeList"))->currentText(), QStringLiteral("Mono"));
    QCOMPARE(page->findChild<QComboBox*>(QStringLiteral("bitrateList"))->currentText(), QStringLiteral("448"));
    QCOMPARE(page->findChild<QComboBox*>(QStringLiteral("psychList"))->currentText(), QStringLiteral("Model 2"));
    QVERIFY(page->findChild<QCheckBox*>(QStringLiteral("privateCheck"))->isChecked());
    QCOMPARE(spy.count(), 0);
}

void TestBasicPage::closedSectionKeepsLatestState()
{
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    auto* audioPage = page->findChild<MPEGAudioPage*>();
    auto* button = page->findChild<QToolButton*>();
    QVERIFY(audioPage->isVisible());

    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!audioPage->isVisible());
    page->updateState(derived(2, 1));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(audioPage->isVisible());
    QCOMPARE(page->findChild<QComboBox*>(QStringLiteral("modeList"))->currentText(), QStringLiteral("Dual Channel"));
    QVERIFY(page->findChild<QCheckBox*>(QStringLiteral("privateCheck"))->isChecked());
}

QTEST_MAIN(TestBasicPage)
#include "tst_basicpage.moc"
