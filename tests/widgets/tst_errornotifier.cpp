#include "widgets/errornotifier.h"

#include <QSignalSpy>
#include <QtTest>
#include <cstring>

namespace {

const char* replaceFormat(const char* format)
{
    return std::strcmp(format, "value %d") == 0 ? "replaced %d" : nullptr;
}

// Restores the notifier's hook when a test ends, whatever it checked.
struct HookGuard
{
    ~HookGuard() { ErrorNotifier::instance()->translateHook = nullptr; }
};

} // namespace

class TestErrorNotifier : public QObject
{
    Q_OBJECT

private slots:
    void singleInstance();
    void callbackTable();
    void allocatorWorks();
    void reportLevels_data();
    void reportLevels();
    void longReportIsCut_data();
    void longReportIsCut();
    void translateHook_data();
    void translateHook();
    void queuedDelivery();
};

void TestErrorNotifier::singleInstance()
{
    ErrorNotifier* const first = ErrorNotifier::instance();
    QVERIFY(first);
    QCOMPARE(ErrorNotifier::instance(), first);
    QVERIFY(!first->parent());
}

void TestErrorNotifier::callbackTable()
{
    const EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
    QVERIFY(!table.context);
    QVERIFY(table.alloc);
    QVERIFY(table.free);
    QVERIFY(table.errorPrintf);
    QVERIFY(table.silentPrintf);
    QVERIFY(table.warningPrintf);
    QVERIFY(table.infoPrintf);
    for (void* const slot : table.reserved0)
        QVERIFY(!slot);
    for (void* const slot : table.reserved1)
        QVERIFY(!slot);
}

void TestErrorNotifier::allocatorWorks()
{
    const EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
    auto* const block = static_cast<char*>(table.alloc(reinterpret_cast<void*>(0x1234), 4096));
    QVERIFY(block);
    std::memset(block, 0x5a, 4096); // ASan catches a short block here
    table.free(reinterpret_cast<void*>(0x1234), block);
}

void TestErrorNotifier::reportLevels_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("expectedLevel");
    QTest::addColumn<int>("expectedSignals");
    QTest::newRow("error") << 0 << int(Error) << 1;
    QTest::newRow("warning") << 1 << int(Warning) << 1;
    QTest::newRow("info") << 2 << int(Info) << 1;
    QTest::newRow("silent") << 3 << -1 << 0;
}

void TestErrorNotifier::reportLevels()
{
    QFETCH(int, slot);
    QFETCH(int, expectedLevel);
    QFETCH(int, expectedSignals);

    const EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
    using Printf = void (*)(void*, const char*, ...);
    const Printf printfs[] = { table.errorPrintf, table.warningPrintf, table.infoPrintf, table.silentPrintf };

    QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
    printfs[slot](nullptr, "bitrate %d kbps is not allowed for %s", 448, "Layer II");
    QCOMPARE(spy.count(), expectedSignals);
    if (expectedSignals) {
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("bitrate 448 kbps is not allowed for Layer II\n"));
        QCOMPARE(spy.at(0).at(1).value<MessageLevel>(), static_cast<MessageLevel>(expectedLevel));
    }
}

void TestErrorNotifier::longReportIsCut_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("expectedLength"); // line feed included
    QTest::newRow("empty") << 0 << 1;
    QTest::newRow("short") << 17 << 18;
    QTest::newRow("one below the limit") << 541 << 542;
    QTest::newRow("at the limit") << 542 << 543;
    QTest::newRow("one above the limit") << 543 << 543;
    QTest::newRow("buffer size") << 544 << 543;
    QTest::newRow("ten kilobytes") << 10 * 1024 << 543;
}

void TestErrorNotifier::longReportIsCut()
{
    QFETCH(int, reportLength);
    QFETCH(int, expectedLength);

    QByteArray report(reportLength, 'x');
    for (int i = 0; i < reportLength; i += 10)
        report[i] = char('0' + (i / 10) % 10);

    QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
    ErrorNotifier::instance()->callbacks.errorPrintf(nullptr, "%s", report.constData());
    QCOMPARE(spy.count(), 1);
    const QString text = spy.at(0).at(0).toString();
    QCOMPARE(text.size(), expectedLength);
    QVERIFY(text.endsWith(QLatin1Char('\n')));
    QCOMPARE(text.chopped(1), QString::fromLatin1(report.left(expectedLength - 1)));
}

void TestErrorNotifier::translateHook_data()
{
    QTest::addColumn<bool>("installHook");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no hook") << false << QByteArray("value %d") << QStringLiteral("value 7\n");
    QTest::newRow("hook replaces") << true << QByteArray("value %d") << QStringLiteral("replaced 7\n");
    QTest::newRow("hook declines") << true << QByteArray("other %d") << QStringLiteral("other 7\n");
}

void TestErrorNotifier::translateHook()
{
    QFETCH(bool, installHook);
    QFETCH(QByteArray, format);
    QFETCH(QString, expected);

    const HookGuard guard;
    QVERIFY(!ErrorNotifier::instance()->translateHook);
    if (installHook)
        ErrorNotifier::instance()->translateHook = &replaceFormat;

    QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
    ErrorNotifier::instance()->callbacks.infoPrintf(nullptr, format.constData(), 7);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), expected);
}

// Receivers in another thread, or queued on purpose, need the level type to
// be known to the meta-type system.
void TestErrorNotifier::queuedDelivery()
{
    QObject receiver;
    QString received;
    int level = -1;
    QObject::connect(
        ErrorNotifier::instance(), &ErrorNotifier::logEvent, &receiver,
        [&](const QString& text, MessageLevel messageLevel) {
            received = text;
            level = messageLevel;
        },
        Qt::QueuedConnection);

    ErrorNotifier::instance()->callbacks.warningPrintf(nullptr, "queued %s", "report");
    QVERIFY(received.isEmpty());
    QTRY_COMPARE(received, QStringLiteral("queued report\n"));
    QCOMPARE(level, int(Warning));
}

QTEST_MAIN(TestErrorNotifier)
#include "tst_errornotifier.moc"
