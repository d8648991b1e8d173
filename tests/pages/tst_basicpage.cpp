// The basic page holds the MPEG audio page in its "Audio Format" section and
// relays states both ways, also while the section is closed.
#include "dialogdriver.h"
#include "model/statemodel.h"
#include "pages/basicpage.h"
#include "pages/mpegaudiopage.h"
#include "pagetesthelpers.h"

#include <QToolButton>

class TestBasicPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerStateType(); }
    void relaysBothWays();
};

void TestBasicPage::relaysBothWays()
{
    BasicPage page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QSignalSpy spy(&page, SIGNAL(stateChanged(ConfigState)));
    QCOMPARE(performStep(&page, QStringLiteral("choose:modeList:Dual Channel")), QString());
    QCOMPARE(performStep(&page, QStringLiteral("click:originalCheck")), QString());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spiedState(spy, 0).value(ItemName::Mode).value, QVariant("Dual Channel"));
    QCOMPARE(spiedState(spy, 1).value(ItemName::Original).value, QVariant(true));

    // A state that arrives while the section is closed shows when it opens.
    auto* const section = page.findChild<QToolButton*>();
    QTest::mouseClick(section, Qt::LeftButton);
    QVERIFY(!page.findChild<MPEGAudioPage*>()->isVisible());
    EncoderSettings settings {};
    settings.mode = VL_MODE_MONO;
    settings.layer = 1;
    settings.bitrateIndex = 14;
    settings.sampleFrequency = 44100;
    page.updateState(derivePageState(settings));
    QTest::mouseClick(section, Qt::LeftButton);
    QVERIFY(page.findChild<MPEGAudioPage*>()->isVisible());
    for (const char* step : { "expect:modeList=Mono", "expect:bitrateList=448", "expect:originalCheck=0" })
        QCOMPARE(performStep(&page, QLatin1String(step)), QString());
    QCOMPARE(spy.count(), 2);
}

QTEST_MAIN(TestBasicPage)
#include "tst_basicpage.moc"
