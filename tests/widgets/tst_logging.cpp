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

// Reports `text` through the callback slot of a level: 'e'rror, 'w'arning,
// 'i'nfo or 's'ilent.
void report(char level, const QByteArray& text)
{
    const EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
    (level == 'e'          ? table.errorPrintf
            : level == 'w' ? table.warningPrintf
            : level == 'i' ? table.infoPrintf
                           : table.silentPrintf)(nullptr, "%s", text.constData());
}

// A dialog connected to the notifier the way the settings dialog is; its
// info window's lines as "text #colour".
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

    QStringList shownLines() const
    {
        QStringList lines;
        for (QTextBlock block = edit.document()->begin(); block.isValid() && !edit.toPlainText().isEmpty();
             block = block.next())
            lines << block.text() + QLatin1Char(' ')
                    + block.begin().fragment().charFormat().foreground().color().name();
        return lines;
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
    void flushShowsLevelsInOrder_data()
    {
        QTest::addColumn<QByteArrayList>("reports"); // level letter, then the text
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("errors, warnings, infos") << QByteArrayList { "ii", "ww", "ee1", "ii2", "ee2",
            "shidden" } << QStringList { "e1 #b40000", "e2 #b40000", "w #0000b4", "i #141414", "i2 #141414" };
        QTest::newRow("blanks trimmed, inner line break kept") << QByteArrayList { "e   padded\n\n",
            "i\tone\ntwo  \n" } << QStringList { "padded #b40000", "one #141414", "two #141414" };
        QTest::newRow("latin-1 bytes") << QByteArrayList { "w50/15 \xB5s" }
                                       << QStringList { QString::fromLatin1("50/15 \xB5s #0000b4") };
    }

    void flushShowsLevelsInOrder()
    {
        QFETCH(QByteArrayList, reports);
        QFETCH(QStringList, expected);
        ConnectedLogable logable;
        logable.edit.setText(QStringLiteral("left over from an earlier check"));
        for (const QByteArray& entry : reports)
            report(entry.at(0), entry.mid(1));
        logable.dialog.flushMessages();
        QCOMPARE(logable.shownLines(), expected);
        // The flush emptied the pending texts.
        logable.dialog.flushMessages();
        QCOMPARE(logable.edit.toPlainText(), QString());
    }

    void withoutWidgetMessagesWait()
    {
        ConnectedLogable logable;
        logable.dialog.setLogWidget(nullptr);
        report('i', "kept");
        logable.dialog.flushMessages();
        logable.dialog.setLogWidget(&logable.edit);
        logable.dialog.flushMessages();
        QCOMPARE(logable.shownLines(), QStringList { "kept #141414" });
    }

    void unknownLevelIsIgnored()
    {
        ConnectedLogable logable;
        const auto beyond = static_cast<MessageLevel>(3);
        logable.dialog.setMessageColor(beyond, Qt::green);
        QVERIFY(!logable.dialog.messageColor(beyond).isValid());
        QVERIFY(!logable.dialog.messageColor(static_cast<MessageLevel>(-1)).isValid());
        logable.dialog.slotOnLog(QStringLiteral("nowhere"), beyond);
        logable.dialog.flushMessages();
        QCOMPARE(logable.edit.toPlainText(), QString());
    }

    void allocatorWorks()
    {
        const EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
        auto* const block = static_cast<char*>(table.alloc(reinterpret_cast<void*>(0x1234), 4096));
        QVERIFY(block);
        std::memset(block, 0x5a, 4096); // ASan catches a short block here
        table.free(reinterpret_cast<void*>(0x1234), block);
    }

    // Reports are cut to 542 bytes and end in a line feed; a translate hook
    // may replace the format, or decline.
    void reportText()
    {
        QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
        QByteArray text(10 * 1024, 'x');
        for (int i = 0; i < text.size(); i += 10)
            text[i] = char('0' + (i / 10) % 10);
        for (const int length : { 0, 542, 543 })
            report('e', text.left(length));
        ErrorNotifier::instance()->translateHook = &replaceFormat;
        ErrorNotifier::instance()->callbacks.infoPrintf(nullptr, "value %d", 7);
        ErrorNotifier::instance()->callbacks.infoPrintf(nullptr, "other %d", 7);
        ErrorNotifier::instance()->translateHook = nullptr;
        QStringList texts;
        for (const QList<QVariant>& emission : spy)
            texts << emission.at(0).toString();
        const QString cut = QString::fromLatin1(text.left(542)) + QLatin1Char('\n');
        QCOMPARE(texts, QStringList({ "\n", cut, cut, "replaced 7\n", "other 7\n" }));
        QCOMPARE(spy.at(0).at(1).value<MessageLevel>(), Error);
    }

    // Report bytes are read as UTF-8 where they are well-formed, else as
    // Latin-1; the cut at 542 bytes never leaves half a character.
    void reportBytesBecomeText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const auto latin1 = [](const char* bytes) { return QString::fromLatin1(bytes); };
        QTest::newRow("UTF-8, two bytes") << QByteArray("f\xC3\xBCr Mono") << QString::fromUtf8("für Mono");
        QTest::newRow("UTF-8, three bytes")
            << QByteArray("\xE3\x83\xA2\xE3\x83\x8E\xE3\x83\xA9\xE3\x83\xAB") << QString::fromUtf8("モノラル");
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

    void reportBytesBecomeText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
        report('w', bytes);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), expected + QLatin1Char('\n'));
    }

    void reportEndsAtNul()
    {
        QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
        ErrorNotifier::instance()->callbacks.errorPrintf(nullptr, "shown%chidden", 0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("shown\n"));
    }

    // Receivers in another thread, or queued on purpose, need the level type
    // to be known to the meta-type system.
    void queuedDelivery()
    {
        QObject receiver;
        QString received;
        MessageLevel level = Info;
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
        QCOMPARE(level, Warning);
    }
};

QTEST_MAIN(TestLogging)
#include "tst_logging.moc"
