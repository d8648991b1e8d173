// Every change of the settings dialog travels one loop: a control emits a
// one-item state, the dialog applies it, derives what every control shows
// and refreshes them, then runs the encoder's check. These tests call the
// library through its exported function as a host that runs its own
// QApplication does, work the real controls with mouse and keyboard, and
// check what the controls show and what OK writes back to the host.

#include "dialogdriver.h"
#include "testsandbox.h"
#include "userinput.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

const QStringList fieldNames = { "mode", "layer", "psychModel", "bitrateIndex", "emphasis", "privateBit",
    "errorProtection", "copyrightBit", "originalBit", "audioType", "sampleFrequency" };

int32_t* field(EncoderSettings& settings, const QString& name)
{
    int32_t* const fields[] = { &settings.mode, &settings.layer, &settings.psychModel, &settings.bitrateIndex,
        &settings.emphasis, &settings.privateBit, &settings.errorProtection, &settings.copyrightBit,
        &settings.originalBit, &settings.audioType, &settings.sampleFrequency };
    return fields[fieldNames.indexOf(name)];
}

EncoderSettings withFields(EncoderSettings settings, const QVariantMap& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        *field(settings, it.key()) = it.value().toInt();
    return settings;
}

// What a control shows, as the expectations of a script spell it:
// a list's current text, a check box's 0/1, and "<name>.enabled" 0/1.
QString shown(QWidget* modal, const QString& what)
{
    const bool enabledQuery = what.endsWith(QLatin1String(".enabled"));
    const QString name = enabledQuery ? what.chopped(8) : what;
    auto* widget = modal->findChild<QWidget*>(name);
    if (!widget)
        return QStringLiteral("<missing>");
    if (enabledQuery)
        return widget->isEnabled() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* list = qobject_cast<QComboBox*>(widget))
        return list->currentText();
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return QStringLiteral("<unknown kind>");
}

// Turns one step of a test script into a driver action. Steps:
//   choose:<list>:<text>   open the list's popup and choose the entry by keyboard
//   click:<widget>         mouse click on a check box or button
//   stale:<list>:<text>    append an entry the settings do not offer, as a
//                          list out of step with the settings would hold
//   expect:<what>=<value>  compare what a control shows (see shown())
//   ok, cancel             the dialog's buttons, clicked with the mouse
DialogDriver::Action scriptAction(const QString& step)
{
    const int colon = step.indexOf(QLatin1Char(':'));
    const QString verb = colon < 0 ? step : step.left(colon);
    const QString argument = colon < 0 ? QString() : step.mid(colon + 1);

    if (verb == QLatin1String("choose") || verb == QLatin1String("stale")) {
        const QString name = argument.section(QLatin1Char(':'), 0, 0);
        const QString text = argument.section(QLatin1Char(':'), 1);
        const bool stale = verb == QLatin1String("stale");
        return [name, text, stale](QWidget* modal, DialogDriver& driver) {
            auto* list = modal->findChild<QComboBox*>(name);
            if (!list) {
                driver.record(QStringLiteral("failed: no list ") + name);
                return;
            }
            if (stale)
                list->addItem(text);
            else if (!chooseEntry(list, text))
                driver.record(QStringLiteral("failed: cannot choose %1 in %2").arg(text, name));
        };
    }
    if (verb == QLatin1String("click") || verb == QLatin1String("ok") || verb == QLatin1String("cancel")) {
        const QString name = verb == QLatin1String("ok") ? QStringLiteral("buttonOk")
            : verb == QLatin1String("cancel")            ? QStringLiteral("buttonCancel")
                                                         : argument;
        return [name](QWidget* modal, DialogDriver& driver) {
            auto* button = modal->findChild<QAbstractButton*>(name);
            if (!button || !button->isVisible() || !button->isEnabled()) {
                driver.record(QStringLiteral("failed: cannot click ") + name);
                return;
            }
            QTest::mouseClick(button, Qt::LeftButton);
        };
    }
    if (verb == QLatin1String("expect")) {
        const QString what = argument.section(QLatin1Char('='), 0, 0);
        const QString value = argument.section(QLatin1Char('='), 1);
        return [what, value](QWidget* modal, DialogDriver& driver) {
            const QString actual = shown(modal, what);
            if (actual != value)
                driver.record(QStringLiteral("failed: %1 shows \"%2\", expected \"%3\"").arg(what, actual, value));
        };
    }
    return {};
}

} // namespace

class TestChangeLoop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void userActions_data();
    void userActions();

private:
    std::unique_ptr<TestSandbox> sandbox;
};

void TestChangeLoop::initTestCase()
{
    sandbox = std::make_unique<TestSandbox>();
    QVERIFY2(sandbox->isValid(), qPrintable(sandbox->errorString()));
}

void TestChangeLoop::init()
{
    sandbox->clearCallLog();
}

void TestChangeLoop::userActions_data()
{
    QTest::addColumn<bool>("encoderModule"); // false: the built-in fallbacks
    QTest::addColumn<QStringList>("control"); // control file of the test modules
    QTest::addColumn<QVariantMap>("host"); // fields changed from E2e::hostSettings()
    QTest::addColumn<QString>("script"); // ';'-separated steps, see scriptAction()
    QTest::addColumn<int>("result");
    QTest::addColumn<QVariantMap>("written"); // record fields that must differ from the host's afterwards
    QTest::addColumn<bool>("recordZeroed"); // bytes 0-4095 cleared by the defaults fallback
    // Prefixes that must appear in this order in the encoder module's log;
    // for a row that lists checks, these are all the checks made.
    QTest::addColumn<QStringList>("encoderCalls");
    QTest::addColumn<bool>("defaultsCalled");

    const QVariantMap none;

    QTest::newRow("Layer 1 at 48 kHz shows 448 at index 14")
        << true << QStringList() << QVariantMap { { "layer", 2 }, { "bitrateIndex", 14 } }
        << "expect:bitrateList=384;choose:layerList:Layer 1;expect:bitrateList=448;expect:layerList=Layer 1;ok"
        << int(VL_DIALOG_ACCEPTED) << QVariantMap { { "layer", 1 } } << false
        << QStringList { "check 0 48000", "check 0 48000" } << false;

    QTest::newRow("Mono rewrites a copyright word of 7 as 1")
        << true << QStringList() << QVariantMap { { "copyrightBit", 7 } }
        << "expect:copyrightCheck=1;choose:modeList:Mono;expect:modeList=Mono;ok" << int(VL_DIALOG_ACCEPTED)
        << QVariantMap { { "mode", 3 }, { "copyrightBit", 1 } } << false << QStringList() << false;

    QTest::newRow("restoring MPEG-2 DVD loads the defaults of type 4")
        << true
        << QStringList { "defaults.layer=1", "defaults.mode=3", "defaults.bitrateIndex=14", "defaults.emphasis=3",
               "defaults.originalBit=0", "defaults.privateBit=1" }
        << none
        << "expect:presetList=MPEG-1;choose:presetList:MPEG-2 DVD;expect:layerList=Layer 2;click:presetButton;"
           "expect:presetList=MPEG-2 DVD;expect:layerList=Layer 1;expect:modeList=Mono;expect:bitrateList=448;"
           "expect:emphasisList=CCITT J.17;expect:privateCheck=1;expect:originalCheck=0;ok"
        << int(VL_DIALOG_ACCEPTED)
        << QVariantMap { { "layer", 1 }, { "mode", 3 }, { "bitrateIndex", 14 }, { "emphasis", 3 }, { "privateBit", 1 },
               { "originalBit", 0 } }
        << false << QStringList { "check 4 48000", "defaults 4", "check 4 48000", "check 4 48000" } << true;

    QTest::newRow("fallback restore clears the record")
        << false << QStringList()
        << QVariantMap { { "audioType", 4 }, { "emphasis", 1 }, { "privateBit", 1 }, { "copyrightBit", 1 },
               { "errorProtection", 1 } }
        << "expect:presetList=MPEG-2 DVD;expect:emphasisList=50/15 \u00B5s;click:presetButton;"
           "expect:presetList=MPEG-2 DVD;expect:modeList=Stereo;expect:layerList=Layer 2;expect:psychList=Model 2;"
           "expect:bitrateList=;expect:emphasisList=Off;expect:privateCheck=0;expect:copyrightCheck=0;"
           "expect:crcCheck=0;expect:originalCheck=0;ok"
        << int(VL_DIALOG_ACCEPTED) << none << true << QStringList() << false;

    QTest::newRow("host audio type 0x1014 shows MPEG-2 DVD-VR")
        << true << QStringList() << QVariantMap { { "audioType", 0x1014 } }
        << "expect:presetList=MPEG-2 DVD-VR;click:privateCheck;ok" << int(VL_DIALOG_ACCEPTED)
        << QVariantMap { { "privateBit", 1 } } << false << QStringList { "check 14 48000", "check 14 48000" } << false;

    QTest::newRow("448 under Layer II keeps the index")
        << true << QStringList() << none
        << "expect:bitrateList=224;stale:bitrateList:448;choose:bitrateList:448;expect:bitrateList=224;ok"
        << int(VL_DIALOG_ACCEPTED) << none << false << QStringList() << false;

    QTest::newRow("every list and box")
        << true << QStringList() << QVariantMap { { "originalBit", 1 } }
        << "choose:bitrateList:320;choose:psychList:Model 2;choose:emphasisList:CCITT J.17;"
           "choose:modeList:Dual Channel;click:privateCheck;click:copyrightCheck;click:crcCheck;"
           "click:originalCheck;expect:bitrateList=320;expect:originalCheck=0;ok"
        << int(VL_DIALOG_ACCEPTED)
        << QVariantMap { { "bitrateIndex", 13 }, { "psychModel", 2 }, { "emphasis", 3 }, { "mode", 2 },
               { "privateBit", 1 }, { "copyrightBit", 1 }, { "errorProtection", 1 }, { "originalBit", 0 } }
        << false << QStringList() << false;

    // Without the load and save buttons the dialog runs no check when it
    // opens, so each choice adds one check to the one of OK.
    QTest::newRow("two choices and two clicks check four times")
        << true << QStringList() << none
        << "choose:layerList:Layer 2;choose:psychList:Model 1;click:crcCheck;"
           "click:crcCheck;ok"
        << int(VL_DIALOG_ACCEPTED) << none << false
        << QStringList { "check 0 48000", "check 0 48000", "check 0 48000", "check 0 48000", "check 0 48000" } << false;

    QTest::newRow("changes then cancel write nothing")
        << true << QStringList() << none << "choose:layerList:Layer 1;click:privateCheck;cancel"
        << int(VL_DIALOG_REJECTED) << none << false << QStringList() << false;
}

void TestChangeLoop::userActions()
{
    QFETCH(bool, encoderModule);
    QFETCH(QStringList, control);
    QFETCH(QVariantMap, host);
    QFETCH(QString, script);
    QFETCH(int, result);
    QFETCH(QVariantMap, written);
    QFETCH(bool, recordZeroed);
    QFETCH(QStringList, encoderCalls);
    QFETCH(bool, defaultsCalled);

    QList<TestModule> modules = { TestModule::Config, TestModule::Import };
    if (encoderModule)
        modules.append(TestModule::Encoder);
    QVERIFY(sandbox->setModules(modules));
    QVERIFY(sandbox->setControl(control));

    DialogDriver driver;
    driver.setTimeout(20000);
    for (const QString& step : script.split(QLatin1Char(';'))) {
        const DialogDriver::Action action = scriptAction(step);
        QVERIFY2(action, qPrintable(QStringLiteral("unknown step ") + step));
        driver.addAction(step, action);
    }
    driver.start();

    const EncoderSettings before = withFields(E2e::hostSettings(), host);
    EncoderSettings settings = before;
    const int32_t returned = sandbox->call(&settings, VL_FLAG_HOST_APPLICATION | VL_FLAG_BASIC_SETTINGS,
        reinterpret_cast<intptr_t>(QCoreApplication::instance()));

    QVERIFY2(returned != -1, "the library copy could not be loaded");
    QCOMPARE(returned, result);
    const QStringList observations = driver.observations();
    QVERIFY2(!driver.timedOut(), qPrintable(observations.join(QLatin1Char('\n'))));
    for (const QString& line : observations) {
        QVERIFY2(!line.startsWith(QLatin1String("failed")) && !line.startsWith(QLatin1String("left open")),
            qPrintable(line));
    }
    QCOMPARE(observations.size(), script.count(QLatin1Char(';')) + 1);

    EncoderSettings expected = before;
    if (recordZeroed)
        std::memset(&expected, 0, VL_SETTINGS_RECORD_SIZE);
    expected = withFields(expected, written);
    for (const QString& name : fieldNames)
        QCOMPARE(QString("%1=%2").arg(name).arg(*field(settings, name)),
            QString("%1=%2").arg(name).arg(*field(expected, name)));
    QVERIFY2(std::memcmp(&settings, &expected, sizeof settings) == 0, "bytes outside the nine fields changed");

    // The encoder module's calls, in order among the others.
    const QStringList log = sandbox->callLog(QStringLiteral("vl_enc_mpa"));
    int from = 0;
    for (const QString& prefix : encoderCalls) {
        while (from < log.size() && !log.at(from).startsWith(prefix))
            ++from;
        QVERIFY2(from < log.size(), qPrintable(prefix + QStringLiteral(" missing in:\n") + log.join('\n')));
        ++from;
    }
    bool sawDefaults = false;
    int checks = 0;
    for (const QString& line : log) {
        sawDefaults = sawDefaults || line.startsWith(QLatin1String("defaults"));
        checks += line.startsWith(QLatin1String("check")) ? 1 : 0;
    }
    QCOMPARE(sawDefaults, defaultsCalled);
    const int listedChecks = int(std::count_if(
        encoderCalls.cbegin(), encoderCalls.cend(), [](const QString& call) { return call.startsWith("check"); }));
    if (listedChecks > 0)
        QCOMPARE(checks, listedChecks);
}

QTEST_MAIN(TestChangeLoop)
#include "tst_changeloop.moc"
