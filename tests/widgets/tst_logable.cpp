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

// One line of the info window: its text and the colour it is drawn in.
struct Line
{
    QString text;
    QColor color;
    bool operator==(const Line& other) const { return text == other.text && color == other.color; }
};

const QColor grey(20, 20, 20);
const QColor blue(0, 0, 180);
const QColor red(180, 0, 0);

void sendReport(const Report& report)
{
    EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
    switch (report.slot) {
    case Slot::ErrorReport:
        table.errorPrintf(nullptr, "%s", report.text.constData());
        break;
    case Slot::WarningReport:
        table.warningPrintf(nullptr, "%s", report.text.constData());
        break;
    case Slot::InfoReport:
        table.infoPrintf(nullptr, "%s", report.text.constData());
        break;
    case Slot::SilentReport:
        table.silentPrintf(nullptr, "%s", report.text.constData());
        break;
    }
}

QList<Line> shownLines(const QTextEdit& edit)
{
    QList<Line> lines;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty() && !block.next().isValid() && lines.isEmpty())
            break; // an empty document still has one empty block
        lines.append({ block.text(), block.charFormat().foreground().color() });
        const auto fragments = block.begin();
        if (!fragments.atEnd())
            lines.last().color = fragments.fragment().charFormat().foreground().color();
    }
    return lines;
}

QString describe(const QList<Line>& lines)
{
    QStringList parts;
    for (const Line& line : lines)
        parts.append(QStringLiteral("%1 (%2)").arg(line.text, line.color.name()));
    return parts.join(QStringLiteral(" | "));
}

// A dialog connected to the notifier the way the settings dialog is.
struct ConnectedLogable
{
    Logable dialog;
    QTextEdit edit;

    explicit ConnectedLogable(bool coloured)
    {
        dialog.setLogWidget(&edit);
        if (!coloured) {
            dialog.setMessageColor(Warning, dialog.messageColor(Info));
            dialog.setMessageColor(Error, dialog.messageColor(Info));
        }
        QObject::connect(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)), &dialog,
            SLOT(slotOnLog(QString, MessageLevel)));
    }
};

} // namespace

Q_DECLARE_METATYPE(QList<Report>)
Q_DECLARE_METATYPE(QList<Line>)

class TestLogable : public QObject
{
    Q_OBJECT

private slots:
    void flushShowsLevelsInOrder_data();
    void flushShowsLevelsInOrder();
    void flushClearsWindowWhenNothingPending();
    void flushWithoutWidgetKeepsMessages();
    void messageColor_data();
    void messageColor();
    void setMessageColorIgnoresUnknownLevel();
    void unknownLevelIsDropped();
};

void TestLogable::flushShowsLevelsInOrder_data()
{
    QTest::addColumn<QList<Report>>("reports");
    QTest::addColumn<bool>("coloured");
    QTest::addColumn<QList<Line>>("expected");

    const QList<Report> twoErrorsOneInfo
        = { { Slot::ErrorReport, "First error" }, { Slot::InfoReport, "Note" }, { Slot::ErrorReport, "Second error" } };
    QTest::newRow("coloured errors before info")
        << twoErrorsOneInfo << true
        << QList<Line> { { "First error", red }, { "Second error", red }, { "Note", grey } };
    QTest::newRow("uncoloured all grey") << twoErrorsOneInfo << false
                                         << QList<Line> { { "First error", grey }, { "Second error", grey },
                                                { "Note", grey } };
    QTest::newRow("warning between error and info")
        << QList<Report> { { Slot::InfoReport, "i" }, { Slot::WarningReport, "w" }, { Slot::ErrorReport, "e" } } << true
        << QList<Line> { { "e", red }, { "w", blue }, { "i", grey } };
    QTest::newRow("silent report shows nothing")
        << QList<Report> { { Slot::SilentReport, "hidden" } } << true << QList<Line> {};
    QTest::newRow("silent beside a warning")
        << QList<Report> { { Slot::SilentReport, "hidden" }, { Slot::WarningReport, "shown" } } << true
        << QList<Line> { { "shown", blue } };
    QTest::newRow("leading blanks and trailing line feeds trimmed")
        << QList<Report> { { Slot::ErrorReport, "   padded\n\n" } } << true << QList<Line> { { "padded", red } };
    QTest::newRow("inner line break kept") << QList<Report> { { Slot::InfoReport, "\tline one\nline two  \n" } } << true
                                           << QList<Line> { { "line one", grey }, { "line two", grey } };
    QTest::newRow("latin-1 bytes") << QList<Report> { { Slot::WarningReport, "50/15 \xB5s" } } << true
                                   << QList<Line> { { QString::fromLatin1("50/15 \xB5s"), blue } };
}

void TestLogable::flushShowsLevelsInOrder()
{
    QFETCH(QList<Report>, reports);
    QFETCH(bool, coloured);
    QFETCH(QList<Line>, expected);

    ConnectedLogable logable(coloured);
    logable.edit.setText(QStringLiteral("left over from an earlier check"));
    for (const Report& report : reports)
        sendReport(report);
    logable.dialog.flushMessages();

    const QList<Line> lines = shownLines(logable.edit);
    QVERIFY2(lines == expected, qPrintable(describe(lines) + QStringLiteral(" != ") + describe(expected)));
}

void TestLogable::flushClearsWindowWhenNothingPending()
{
    ConnectedLogable logable(true);
    sendReport({ Slot::ErrorReport, "old" });
    logable.dialog.flushMessages();
    QVERIFY(!logable.edit.toPlainText().isEmpty());

    logable.dialog.flushMessages();
    QCOMPARE(logable.edit.toPlainText(), QString());
}

void TestLogable::flushWithoutWidgetKeepsMessages()
{
    ConnectedLogable logable(true);
    logable.dialog.setLogWidget(nullptr);
    sendReport({ Slot::InfoReport, "kept" });
    sendReport({ Slot::ErrorReport, "also kept" });
    logable.dialog.flushMessages();
    logable.dialog.flushMessages();

    logable.dialog.setLogWidget(&logable.edit);
    logable.dialog.flushMessages();
    const QList<Line> expected { { "also kept", red }, { "kept", grey } };
    QVERIFY2(shownLines(logable.edit) == expected, qPrintable(describe(shownLines(logable.edit))));

    // The flush that found the widget emptied the pending texts.
    logable.dialog.flushMessages();
    QCOMPARE(logable.edit.toPlainText(), QString());
}

void TestLogable::messageColor_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("info") << 0 << QColor(20, 20, 20, 255);
    QTest::newRow("warning") << 1 << QColor(0, 0, 180, 255);
    QTest::newRow("error") << 2 << QColor(180, 0, 0, 255);
    QTest::newRow("beyond error") << 3 << QColor();
    QTest::newRow("negative") << -1 << QColor();
}

void TestLogable::messageColor()
{
    QFETCH(int, level);
    QFETCH(QColor, expected);
    const Logable logable;
    const QColor color = logable.messageColor(static_cast<MessageLevel>(level));
    QCOMPARE(color.isValid(), expected.isValid());
    QCOMPARE(color, expected);
}

void TestLogable::setMessageColorIgnoresUnknownLevel()
{
    Logable logable;
    logable.setMessageColor(static_cast<MessageLevel>(3), Qt::green);
    QCOMPARE(logable.messageColor(Info), grey);
    QCOMPARE(logable.messageColor(Warning), blue);
    QCOMPARE(logable.messageColor(Error), red);
    QVERIFY(!logable.messageColor(static_cast<MessageLevel>(3)).isValid());

    logable.setMessageColor(Warning, Qt::green);
    QCOMPARE(logable.messageColor(Warning), QColor(Qt::green));
}

void TestLogable::unknownLevelIsDropped()
{
    ConnectedLogable logable(true);
    logable.dialog.slotOnLog(QStringLiteral("nowhere"), static_cast<MessageLevel>(3));
    logable.dialog.slotOnLog(QStringLiteral("somewhere"), Info);
    logable.dialog.flushMessages();
    QCOMPARE(logable.edit.toPlainText(), QStringLiteral("somewhere"));
}

QTEST_MAIN(TestLogable)
#include "tst_logable.moc"
