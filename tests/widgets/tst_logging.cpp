// The message path from the encoder's callbacks through the notifier to the
// info window.
#include "widgets/errornotifier.h"
#include "widgets/logable.h"

#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

namespace {

// Sends `text` through the callback slot of a level: 'e'rror, 'w'arning,
// 'i'nfo or 's'ilent.
void sendReport(char slot, const QByteArray& text)
{
    const EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
    const auto printf = slot == 'e' ? table.errorPrintf
        : slot == 'w'               ? table.warningPrintf
        : slot == 'i'               ? table.infoPrintf
                                    : table.silentPrintf;
    printf(nullptr, "%s", text.constData());
}

// The info window's lines as "text #colour".
QStringList shownLines(const QTextEdit& edit)
{
    QStringList lines;
    if (edit.toPlainText().isEmpty())
        return lines;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        const QTextCharFormat format
            = block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
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

class TestLogging : public QObject
{
    Q_OBJECT

private slots:
    void flushShowsLevelsInOrder_data();
    void flushShowsLevelsInOrder();
    void flushWithoutWidgetKeepsMessages();
    void unknownLevelIsIgnored();
    void allocatorWorks();
    void longReportIsCut_data();
    void longReportIsCut();
    void translateHook();
    void queuedDelivery();
};

void TestLogging::flushShowsLevelsInOrder_data()
{
    QTest::addColumn<QByteArray>("levels"); // one letter per report, see sendReport()
    QTest::addColumn<QByteArrayList>("texts");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("errors, warnings, infos")
        << QByteArray("iweie") << QByteArrayList { "i", "w", "e1", "i2", "e2" }
        << QStringList { "e1 #b40000", "e2 #b40000", "w #0000b4", "i #141414", "i2 #141414" };
    QTest::newRow("silent beside a warning")
        << QByteArray("sw") << QByteArrayList { "hidden", "shown" } << QStringList { "shown #0000b4" };
    QTest::newRow("leading blanks and trailing line feeds trimmed")
        << QByteArray("e") << QByteArrayList { "   padded\n\n" } << QStringList { "padded #b40000" };
    QTest::newRow("inner line break kept") << QByteArray("i") << QByteArrayList { "\tline one\nline two  \n" }
                                           << QStringList { "line one #141414", "line two #141414" };
    QTest::newRow("latin-1 bytes") << QByteArray("w") << QByteArrayList { "50/15 \xB5s" }
                                   << QStringList { QString::fromLatin1("50/15 \xB5s #0000b4") };
}

void TestLogging::flushShowsLevelsInOrder()
{
    QFETCH(QByteArray, levels);
    QFETCH(QByteArrayList, texts);
    QFETCH(QStringList, expected);
    ConnectedLogable logable;
    logable.edit.setText(QStringLiteral("left over from an earlier check"));
    for (int i = 0; i < levels.size(); ++i)
        sendReport(levels.at(i), texts.at(i));
    logable.dialog.flushMessages();
    QCOMPARE(shownLines(logable.edit), expected);
}

void TestLogging::flushWithoutWidgetKeepsMessages()
{
    ConnectedLogable logable;
    logable.dialog.setLogWidget(nullptr);
    sendReport('i', "kept");
    sendReport('e', "also kept");
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

void TestLogging::longReportIsCut_data()
{
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<int>("expectedLength"); // line feed included
    QTest::newRow("empty") << 0 << 1;
    QTest::newRow("at the limit") << 542 << 543;
    QTest::newRow("one above the limit") << 543 << 543;
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
    sendReport('e', report);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString::fromLatin1(report.left(expectedLength - 1)) + QLatin1Char('\n'));
    QCOMPARE(spy.at(0).at(1).value<MessageLevel>(), Error);
}

void TestLogging::translateHook()
{
    QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
    for (const bool hook : { false, true }) {
        ErrorNotifier::instance()->translateHook = hook ? &replaceFormat : nullptr;
        ErrorNotifier::instance()->callbacks.infoPrintf(nullptr, "value %d", 7);
        ErrorNotifier::instance()->callbacks.infoPrintf(nullptr, "other %d", 7);
    }
    ErrorNotifier::instance()->translateHook = nullptr;
    QStringList texts;
    for (const QList<QVariant>& emission : spy)
        texts << emission.at(0).toString();
    // A hook that declines leaves the format as it is.
    QCOMPARE(texts, QStringList({ "value 7\n", "other 7\n", "replaced 7\n", "other 7\n" }));
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
