// The message path from the encoder's callbacks through the notifier to the
// info window.
#include "widgets/errornotifier.h"
#include "widgets/logable.h"

#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>
#include <cstring>

namespace {

// Which callback slot a report goes through.
enum class Slot { ErrorReport, WarningReport, InfoReport, SilentReport };

struct Report
{
    Slot slot;
    QByteArray text;
};

void sendReport(const Report& report)
{
    EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
    using Printf = void (*)(void*, const char*, ...);
    const Printf printfs[] = { table.errorPrintf, table.warningPrintf, table.infoPrintf, table.silentPrintf };
    printfs[int(report.slot)](nullptr, "%s", report.text.constData());
}

// The info window's lines as "text #colour".
QStringList shownLines(const QTextEdit& edit)
{
    QStringList lines;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty() && !block.next().isValid() && lines.isEmpty())
            break; // an empty document still has one empty block
        const auto fragments = block.begin();
        const QTextCharFormat format = fragments.atEnd() ? block.charFormat() : fragments.fragment().charFormat();
        lines.append(block.text() + QLatin1Char(' ') + format.foreground().color().name());
    }
    return lines;
}

// A dialog connected to the notifier the way the settings dialog is.
struct ConnectedLogable
{
    Logable dialog;
    QTextEdit edit;

    ConnectedLogable()
    {
        dialog.setLogWidget(&edit);
        QObject::connect(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)), &dialog,
            SLOT(slotOnLog(QString, MessageLevel)));
    }
};

const char* replaceFormat(const char* format)
{
    return std::strcmp(format, "value %d") == 0 ? "replaced %d" : nullptr;
}

} // namespace

Q_DECLARE_METATYPE(QList<Report>)

class TestLogging : public QObject
{
    Q_OBJECT

private slots:
    void flushShowsLevelsInOrder_data();
    void flushShowsLevelsInOrder();
    void flushWithoutWidgetKeepsMessages();
    void unknownLevelIsIgnored();
    void allocatorWorks();
    void reportLevels_data();
    void reportLevels();
    void longReportIsCut_data();
    void longReportIsCut();
    void reportBytesBecomeText_data();
    void reportBytesBecomeText();
    void reportEndsAtNul();
    void translateHook_data();
    void translateHook();
    void queuedDelivery();
};

void TestLogging::flushShowsLevelsInOrder_data()
{
    QTest::addColumn<QList<Report>>("reports");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("errors, warnings, infos")
        << QList<Report> { { Slot::InfoReport, "i" }, { Slot::WarningReport, "w" }, { Slot::ErrorReport, "e1" },
               { Slot::InfoReport, "i2" }, { Slot::ErrorReport, "e2" } }
        << QStringList { "e1 #b40000", "e2 #b40000", "w #0000b4", "i #141414", "i2 #141414" };
    QTest::newRow("silent report shows nothing")
        << QList<Report> { { Slot::SilentReport, "hidden" } } << QStringList {};
    QTest::newRow("silent beside a warning") << QList<Report> { { Slot::SilentReport, "hidden" },
        { Slot::WarningReport, "shown" } } << QStringList { "shown #0000b4" };
    QTest::newRow("leading blanks and trailing line feeds trimmed")
        << QList<Report> { { Slot::ErrorReport, "   padded\n\n" } } << QStringList { "padded #b40000" };
    QTest::newRow("inner line break kept") << QList<Report> { { Slot::InfoReport, "\tline one\nline two  \n" } }
                                           << QStringList { "line one #141414", "line two #141414" };
    QTest::newRow("latin-1 bytes") << QList<Report> { { Slot::WarningReport, "50/15 \xB5s" } }
                                   << QStringList { QString::fromLatin1("50/15 \xB5s #0000b4") };
}

void TestLogging::flushShowsLevelsInOrder()
{
    QFETCH(QList<Report>, reports);
    QFETCH(QStringList, expected);

    ConnectedLogable logable;
    logable.edit.setText(QStringLiteral("left over from an earlier check"));
    for (const Report& report : reports)
        sendReport(report);
    logable.dialog.flushMessages();
    QCOMPARE(shownLines(logable.edit), expected);
}

void TestLogging::flushWithoutWidgetKeepsMessages()
{
    ConnectedLogable logable;
    logable.dialog.setLogWidget(nullptr);
    sendReport({ Slot::InfoReport, "kept" });
    sendReport({ Slot::ErrorReport, "also kept" });
    logable.dialog.flushMessages();
    logable.dialog.flushMessages();

    logable.dialog.setLogWidget(&logable.edit);
    logable.dialog.flushMessages();
    QCOMPARE(shownLines(logable.edit), QStringList({ "also kept #b40000", "kept #141414" }));

    // The flush that found the widget emptied the pending texts.
    logable.dialog.flushMessages();
    QCOMPARE(logable.edit.toPlainText(), QString());
}

void TestLogging::unknownLevelIsIgnored()
{
    ConnectedLogable logable;
    const auto beyond = static_cast<MessageLevel>(3);
    logable.dialog.setMessageColor(beyond, Qt::green);
    QVERIFY(!logable.dialog.messageColor(beyond).isValid());
    QVERIFY(!logable.dialog.messageColor(static_cast<MessageLevel>(-1)).isValid());
    QCOMPARE(logable.dialog.messageColor(Error), QColor(180, 0, 0));

    logable.dialog.slotOnLog(QStringLiteral("nowhere"), beyond);
    logable.dialog.slotOnLog(QStringLiteral("somewhere"), Info);
    logable.dialog.flushMessages();
    QCOMPARE(logable.edit.toPlainText(), QStringLiteral("somewhere"));
}

void TestLogging::allocatorWorks()
{
    const EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
    auto* const block = static_cast<char*>(table.alloc(reinterpret_cast<void*>(0x1234), 4096));
    QVERIFY(block);
    std::memset(block, 0x5a, 4096); // ASan catches a short block here
    table.free(reinterpret_cast<void*>(0x1234), block);
}

void TestLogging::reportLevels_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("expectedLevel"); // -1: no signal
    QTest::newRow("error") << 0 << int(Error);
    QTest::newRow("warning") << 1 << int(Warning);
    QTest::newRow("info") << 2 << int(Info);
    QTest::newRow("silent") << 3 << -1;
}

void TestLogging::reportLevels()
{
    QFETCH(int, slot);
    QFETCH(int, expectedLevel);

    QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
    sendReport({ Slot(slot), "bitrate 448 kbps is not allowed for Layer II" });
    QCOMPARE(spy.count(), expectedLevel < 0 ? 0 : 1);
    if (expectedLevel >= 0) {
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("bitrate 448 kbps is not allowed for Layer II\n"));
        QCOMPARE(spy.at(0).at(1).value<MessageLevel>(), static_cast<MessageLevel>(expectedLevel));
    }
}

void TestLogging::longReportIsCut_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("expectedLength"); // line feed included
    QTest::newRow("empty") << 0 << 1;
    QTest::newRow("one below the limit") << 541 << 542;
    QTest::newRow("at the limit") << 542 << 543;
    QTest::newRow("one above the limit") << 543 << 543;
    QTest::newRow("buffer size") << 544 << 543;
    QTest::newRow("ten kilobytes") << 10 * 1024 << 543;
}

void TestLogging::longReportIsCut()
{
    QFETCH(int, reportLength);
    QFETCH(int, expectedLength);

    QByteArray report(reportLength, 'x');
    for (int i = 0; i < reportLength; i += 10)
        report[i] = char('0' + (i / 10) % 10);

    QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
    sendReport({ Slot::ErrorReport, report });
    QCOMPARE(spy.count(), 1);
    const QString text = spy.at(0).at(0).toString();
    QCOMPARE(text.size(), expectedLength);
    QVERIFY(text.endsWith(QLatin1Char('\n')));
    QCOMPARE(text.chopped(1), QString::fromLatin1(report.left(expectedLength - 1)));
}

void TestLogging::reportBytesBecomeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const auto latin1 = [](const char* bytes) { return QString::fromLatin1(bytes); };
    QTest::newRow("UTF-8, two bytes") << QByteArray("f\xC3\xBCr Mono") << QString::fromUtf8("für Mono");
    QTest::newRow("UTF-8, three bytes") << QByteArray("\xE3\x83\xA2\xE3\x83\x8E\xE3\x83\xA9\xE3\x83\xAB")
                                        << QString::fromUtf8("モノラル");
    QTest::newRow("UTF-8, four bytes") << QByteArray("\xF0\x9F\x8E\xB5") << QString::fromUcs4(U"\U0001F3B5");
    QTest::newRow("Latin-1 byte") << QByteArray("50/15 \xB5s") << latin1("50/15 \xB5s");
    QTest::newRow("Latin-1 beside UTF-8") << QByteArray("\xE4 / \xC3\xA4") << QString::fromUtf8("ä / ä");
    QTest::newRow("overlong form") << QByteArray("\xC0\xAF") << latin1("\xC0\xAF");
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << latin1("\xED\xA0\x80");
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << latin1("\xF4\x90\x80\x80");
    QTest::newRow("sequence broken off") << QByteArray("\xE3\x83 x") << latin1("\xE3\x83 x");
    // 200 three-byte characters are cut at the 542nd byte, inside the 181st.
    QByteArray kana;
    for (int i = 0; i < 200; ++i)
        kana += "\xE3\x81\x82";
    QTest::newRow("cut inside a character") << kana << QString(180, QChar(0x3042));
}

void TestLogging::reportBytesBecomeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
    sendReport({ Slot::WarningReport, bytes });
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), expected + QLatin1Char('\n'));
}

void TestLogging::reportEndsAtNul()
{
    QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
    ErrorNotifier::instance()->callbacks.errorPrintf(nullptr, "shown%chidden", 0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("shown\n"));
}

void TestLogging::translateHook_data()
{
    QTest::addColumn<bool>("installHook");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no hook") << false << QByteArray("value %d") << QStringLiteral("value 7\n");
    QTest::newRow("hook replaces") << true << QByteArray("value %d") << QStringLiteral("replaced 7\n");
    QTest::newRow("hook declines") << true << QByteArray("other %d") << QStringLiteral("other 7\n");
}

void TestLogging::translateHook()
{
    QFETCH(bool, installHook);
    QFETCH(QByteArray, format);
    QFETCH(QString, expected);

    ErrorNotifier::instance()->translateHook = installHook ? &replaceFormat : nullptr;
    QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
    ErrorNotifier::instance()->callbacks.infoPrintf(nullptr, format.constData(), 7);
    ErrorNotifier::instance()->translateHook = nullptr;
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), expected);
}

// Receivers in another thread, or queued on purpose, need the level type to
// be known to the meta-type system.
void TestLogging::queuedDelivery()
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

QTEST_MAIN(TestLogging)
#include "tst_logging.moc"
