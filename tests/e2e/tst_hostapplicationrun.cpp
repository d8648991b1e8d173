// Calls the library copy in this process, which runs a QApplication, the
// way a host that uses the toolkit itself does (flag bit 28).

#include "dialogdriver.h"
#include "testsandbox.h"

#include <QApplication>
#include <QtTest>
#include <cstring>

namespace {
constexpr uint32_t hostApplication = VL_FLAG_HOST_APPLICATION;
constexpr uint32_t withRecord = VL_FLAG_HOST_APPLICATION | VL_FLAG_PARAMS_RECORD;

QStringList capturedDebug;

void captureDebug(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg)
        capturedDebug << message;
}
} // namespace

class TestHostApplicationRun : public SandboxTest
{
    Q_OBJECT

private:
    // Runs one call with a driver acting on the dialog; the parameter is
    // the record if given, else the application.
    int32_t callWithScript(
        EncoderSettings* settings, uint32_t flags, const QString& script, DialogParams* record = nullptr)
    {
        DialogDriver driver;
        driver.setTimeout(20000);
        if (!driver.addScript(script))
            qWarning("unknown command in %s", qPrintable(script));
        driver.start();
        const intptr_t param
            = record ? reinterpret_cast<intptr_t>(record) : reinterpret_cast<intptr_t>(QCoreApplication::instance());
        capturedDebug.clear();
        const QtMessageHandler previous = qInstallMessageHandler(captureDebug);
        const int32_t result = sandbox->call(settings, flags, param);
        qInstallMessageHandler(previous);
        observations = driver.observations();
        timedOut = driver.timedOut();
        return result;
    }

    bool anyModuleMapped() const
    {
        for (const char* name : { "vl_config_mpa.so", "vl_enc_mpa.so", "vl_mpgaout.so", "vl_mfimport.so" }) {
            if (sandbox->isMapped(QLatin1String(name)))
                return true;
        }
        return false;
    }

    QStringList observations;
    bool timedOut = false;

private slots:
    void cleanup()
    {
        // A failed start leaves its modules loaded until the next call; a
        // call without an application releases them.
        if (anyModuleMapped()) {
            QVERIFY(sandbox->setModules(TestSandbox::standardModules()));
            EncoderSettings scratch = E2e::hostSettings();
            sandbox->call(&scratch, hostApplication, 0);
        }
        QVERIFY(!anyModuleMapped());
    }

    void failedStarts_data()
    {
        QTest::addColumn<QList<TestModule>>("modules");
        QTest::addColumn<bool>("nullSettings");
        QTest::addColumn<uint32_t>("flags");
        QTest::addColumn<QStringList>("expectedLog");

        const QList<TestModule> standard = TestSandbox::standardModules();
        QTest::newRow("null settings") << standard << true << (hostApplication | 0x71) << QStringList();
        QTest::newRow("no settings-file module") << QList<TestModule> { TestModule::Encoder, TestModule::Import }
                                                 << false << (hostApplication | 0x71) << QStringList();
        QTest::newRow("settings-file module without its entry point")
            << QList<TestModule> { TestModule::ConfigWithoutEntry, TestModule::Encoder } << false
            << (hostApplication | 0x71) << QStringList { "vl_config_mpa attach" };
        // The parameter is 0 with the record flag set.
        QTest::newRow("record flag with a null record")
            << standard << false << (withRecord | 0x71)
            << QStringList { "vl_config_mpa attach", "vl_enc_mpa attach", "vl_mfimport attach" };
    }

    void failedStarts()
    {
        QFETCH(QList<TestModule>, modules);
        QFETCH(bool, nullSettings);
        QFETCH(uint32_t, flags);
        QFETCH(QStringList, expectedLog);
        QVERIFY(sandbox->setModules(modules));
        EncoderSettings settings = E2e::hostSettings();

        DialogDriver driver;
        driver.addScript(QStringLiteral("cancel"));
        driver.start();
        QCOMPARE(sandbox->call(nullSettings ? nullptr : &settings, flags, 0), int32_t(VL_DIALOG_FAILED));

        QVERIFY2(driver.observations().isEmpty(), "no dialog may be shown");
        QCOMPARE(sandbox->callLog(), expectedLog);
        QVERIFY(E2e::sameBytes(settings, E2e::hostSettings()));
    }

    void noApplicationObjectAcceptsWithoutDialog()
    {
        EncoderSettings settings = E2e::hostSettings();
        DialogParams record {};
        QCOMPARE(callWithScript(&settings, withRecord | 0x71, QStringLiteral("cancel"), &record),
            int32_t(VL_DIALOG_ACCEPTED));

        QVERIFY2(observations.isEmpty(), qPrintable(observations.join('\n')));
        QVERIFY(E2e::sameBytes(settings, E2e::hostSettings()));
        QVERIFY(sandbox->callLog(QStringLiteral("vl_enc_mpa")).filter(QStringLiteral("check")).isEmpty());
        // Released at the end of the call: each module was detached.
        const QStringList log = sandbox->callLog();
        for (const char* module : { "vl_config_mpa", "vl_enc_mpa", "vl_mfimport" })
            QVERIFY2(log.contains(QLatin1String(module) + QStringLiteral(" detach")), module);
        QVERIFY(!anyModuleMapped());
    }

    void recordFlagsAreOverwritten()
    {
        EncoderSettings settings = E2e::hostSettings();
        DialogParams record {};
        record.flags = 0xffffffffu;
        record.parent = reinterpret_cast<uintptr_t>(QCoreApplication::instance());
        record.title = "Host title";

        QCOMPARE(callWithScript(&settings, withRecord | 0x2031, QStringLiteral("dump;cancel"), &record),
            int32_t(VL_DIALOG_REJECTED));
        QCOMPARE(record.flags, withRecord | 0x2031);
        QCOMPARE(E2e::dumpValue(observations, 1, QStringLiteral("title")), QStringLiteral("Host title"));
    }

    void okFollowsTheCheck_data()
    {
        QTest::addColumn<int>("checkResult");
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<uint32_t>("flags");
        QTest::addColumn<QStringList>("expected"); // colour and text of each shown line
        QTest::addColumn<bool>("closes");
        const QStringList several { "report=info some info", "report=error first error", "report=silent never shown",
            "report=warning a warning", "report=error second error" };
        QTest::newRow("one error") << 1 << QStringList { "report=error Bitrate not allowed" } << uint32_t(0x71)
                                   << QStringList { "#b40000 Bitrate not allowed" } << false;
        QTest::newRow("coloured") << 1 << several << uint32_t(0x71)
                                  << QStringList { "#b40000 first error", "#b40000 second error", "#0000b4 a warning",
                                         "#141414 some info" }
                                  << false;
        QTest::newRow("all in the info colour")
            << 1 << several << uint32_t(0x31)
            << QStringList { "#141414 first error", "#141414 second error", "#141414 a warning", "#141414 some info" }
            << false;
        QTest::newRow("fails without a word") << 1 << QStringList() << uint32_t(0x71) << QStringList() << false;
        QTest::newRow("passes with warnings")
            << 0
            << QStringList { "report=warning first warning", "report=info summary", "report=warning second warning" }
            << uint32_t(0x71) << QStringList { "#0000b4 first warning", "#0000b4 second warning", "#141414 summary" }
            << true;
    }

    // OK runs the check once: a failing one keeps the dialog open, a passing
    // one closes it; either way the info window shows what the check said.
    void okFollowsTheCheck()
    {
        QFETCH(int, checkResult);
        QFETCH(QStringList, reports);
        QFETCH(uint32_t, flags);
        QFETCH(QStringList, expected);
        QFETCH(bool, closes);
        QVERIFY(sandbox->setControl(QStringList { QStringLiteral("check.result=%1").arg(checkResult) } + reports));
        EncoderSettings settings = E2e::hostSettings();

        QCOMPARE(callWithScript(&settings, hostApplication | flags, QStringLiteral("ok+dump;cancel")),
            int32_t(closes ? VL_DIALOG_ACCEPTED : VL_DIALOG_REJECTED));

        QVERIFY(!timedOut);
        QVERIFY2(observations.contains(QStringLiteral("step 1 ok+dump -> ") + (closes ? "closed" : "open")),
            qPrintable(observations.join('\n')));
        QCOMPARE(E2e::dumpValues(observations, 1, QStringLiteral("text.errorLog.fragment")), expected);
        QVERIFY(E2e::sameBytes(settings, E2e::hostSettings()));
        const QStringList checks = sandbox->callLog(QStringLiteral("vl_enc_mpa")).filter(QRegularExpression("^check "));
        QCOMPARE(checks.size(), 1);
        QVERIFY2(checks.first().startsWith(QStringLiteral("check 0 48000 0 null mode=1 layer=2 psychModel=1 "
                                                          "bitrateIndex=11")),
            qPrintable(checks.first()));
    }

    // With no window of the host active, the dialog becomes the active one
    // once it is shown. The second dump comes a poll after the first.
    void dialogBecomesTheActiveWindow()
    {
        QCOMPARE(QApplication::activeWindow(), nullptr);
        EncoderSettings settings = E2e::hostSettings();
        QCOMPARE(callWithScript(&settings, hostApplication | 0x71, QStringLiteral("dump;dump;cancel")),
            int32_t(VL_DIALOG_REJECTED));
        QCOMPARE(E2e::dumpValue(observations, 2, QStringLiteral("active")), QStringLiteral("1"));
    }

    void okWithPassingCheckWritesRecordHalfOnly()
    {
        QVERIFY(sandbox->setControl({ "defaults.layer=1", "defaults.mode=3", "defaults.bitrateIndex=9",
            "defaults.originalBit=0", "defaults.opaque=90" }));
        EncoderSettings settings = E2e::hostSettings();

        // Another audio type changes the working copy's context half; its
        // defaults change the record half.
        QCOMPARE(callWithScript(&settings, hostApplication | 0x71,
                     QStringLiteral("pick:presetList:MPEG-2 DVD;click:presetButton;ok")),
            int32_t(VL_DIALOG_ACCEPTED));

        QVERIFY(!timedOut);
        QVERIFY(sandbox->callLog(QStringLiteral("vl_enc_mpa")).contains(QStringLiteral("defaults 4")));
        EncoderSettings expected = E2e::hostSettings();
        expected.mode = 3;
        expected.layer = 1;
        expected.psychModel = 1;
        expected.bitrateIndex = 9;
        expected.emphasis = 0;
        expected.privateBit = 0;
        expected.errorProtection = 0;
        expected.copyrightBit = 0;
        expected.originalBit = 0;
        std::memset(expected.opaque, 90, sizeof expected.opaque);
        QVERIFY2(E2e::sameBytes(settings, expected), "only the record half may be written back");
    }

    void endingWithoutOkChangesNothing_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("cancel button") << QStringLiteral("click:presetButton;cancel");
        QTest::newRow("escape key") << QStringLiteral("click:presetButton;escape");
        QTest::newRow("window closed") << QStringLiteral("click:presetButton;close");
    }

    void endingWithoutOkChangesNothing()
    {
        QFETCH(QString, script);
        QVERIFY(sandbox->setControl({ "defaults.layer=1", "defaults.opaque=7" }));
        EncoderSettings settings = E2e::hostSettings();

        QCOMPARE(callWithScript(&settings, hostApplication | 0x71, script), int32_t(VL_DIALOG_REJECTED));
        QVERIFY(!timedOut);
        QVERIFY2(observations.contains(QStringLiteral("step 2 ") + script.section(';', 1) + " -> closed"),
            qPrintable(observations.join('\n')));
        QVERIFY(E2e::sameBytes(settings, E2e::hostSettings()));
    }

    void twoCallsBehaveAlike()
    {
        for (int call = 1; call <= 2; ++call) {
            sandbox->clearCallLog();
            EncoderSettings settings = E2e::hostSettings();
            QCOMPARE(
                callWithScript(&settings, hostApplication | 0x71, QStringLiteral("ok")), int32_t(VL_DIALOG_ACCEPTED));
            const QStringList log = sandbox->callLog();
            QCOMPARE(log.filter(QStringLiteral(" attach")).size(), 3);
            QCOMPARE(log.filter(QStringLiteral(" detach")).size(), 3);
            QCOMPARE(log.filter(QStringLiteral("vl_enc_mpa check")).size(), 1);
            QCOMPARE(capturedDebug.filter(QStringLiteral("uses vl_enc_mpa.dll")).size(), 1);
        }
    }

    void longReportIsCut()
    {
        QVERIFY(sandbox->setControl({ "check.result=1", "report.fill=error 10240 X", "report=info after" }));
        EncoderSettings settings = E2e::hostSettings();

        QCOMPARE(callWithScript(&settings, hostApplication | 0x71, QStringLiteral("ok;dump;cancel")),
            int32_t(VL_DIALOG_REJECTED));

        const QStringList lines
            = E2e::dumpValue(observations, 1, QStringLiteral("text.errorLog")).split(QStringLiteral("\\n"));
        QCOMPARE(lines.size(), 2);
        QVERIFY(!lines.first().isEmpty());
        QVERIFY2(lines.first().size() < 10240, "a report longer than the buffer is cut");
        QCOMPARE(lines.first(), QString(lines.first().size(), QLatin1Char('X')));
        QCOMPARE(lines.last(), QStringLiteral("after"));
    }
};

QTEST_MAIN(TestHostApplicationRun)
#include "tst_hostapplicationrun.moc"
