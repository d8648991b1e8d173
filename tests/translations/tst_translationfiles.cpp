// The translation sources: every text the dialog's sources mark for
// translation is translated, value-table texts stay as they are (the change
// loop compares them across contexts), and translations keep what the code
// relies on: file-dialog patterns, line breaks, placeholders. The built .qm
// files give the same translations.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "obsolete", "vanished" or empty
};

QList<Message> readTs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    Message current;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            current.context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            current.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            current.type = xml.attributes().value(QLatin1String("type")).toString();
            current.translation = xml.readElementText();
            messages.append(current);
        }
    }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
    return messages;
}

// Texts the dialog shows and compares without translating: the value-table
// entries and the audio-type (format) names.
bool staysUntranslated(const Message& message)
{
    return message.context == QLatin1String("QObject") || message.context == QLatin1String("MPEGAudioPage")
        || (message.context == QLatin1String("MPAEncoderDlg")
            && (message.source.startsWith(QLatin1String("MPEG-")) || message.source.startsWith(QLatin1String("AVC "))));
}

// What a translation must keep of its source: the file patterns, ";;" and
// line breaks of file-dialog filters, and the placeholders.
QStringList kept(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.[^)]*\\)|;;|\\n|%\\d+"));
    QStringList parts;
    for (auto it = pattern.globalMatch(text); it.hasNext();)
        parts << it.next().captured();
    return parts;
}

} // namespace

class TestTranslationFiles : public QObject
{
    Q_OBJECT

private slots:
    void catalogue_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("German") << "de";
        QTest::newRow("Japanese") << "jp";
    }

    void catalogue()
    {
        QFETCH(QString, language);
        const QList<Message> messages = readTs(QStringLiteral(VL_TS_DIR "/gui_mpa_%1.ts").arg(language));
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral("gui_mpa_") + language, QStringLiteral(VL_QM_DIR)));
        int untranslated = 0;
        int translated = 0;
        QSet<QString> committed;
        for (const Message& message : messages) {
            const QByteArray where = (message.context + QLatin1String(": ") + message.source).toUtf8();
            QVERIFY2(message.type.isEmpty() && !message.translation.isEmpty(), where.constData());
            QVERIFY2(kept(message.translation) == kept(message.source), where.constData());
            if (staysUntranslated(message)) {
                QCOMPARE(message.translation, message.source);
                ++untranslated;
            }
            translated += message.translation != message.source;
            // lrelease may leave out entries identical to their source.
            const QString found = translator.translate(message.context.toUtf8(), message.source.toUtf8());
            QCOMPARE(found.isEmpty() ? message.source : found, message.translation);
            committed.insert(message.context + QLatin1Char('|') + message.source);
        }
        QVERIFY(untranslated > 0 && translated > 10);

        // Extract afresh from the sources, as a translator updating the files
        // would: the same texts, none missing and none left over.
        QTemporaryDir scratch;
        const QString extracted = scratch.filePath(QStringLiteral("extracted.ts"));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(VL_LUPDATE),
            { QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral(VL_GUI_SOURCE_DIR),
                QStringLiteral("-ts"), extracted });
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
        QSet<QString> current;
        for (const Message& message : readTs(extracted)) {
            // The value tables spell the micro sign as the Latin-1 escape
            // \xB5, which lupdate, reading UTF-8, turns into U+FFFD.
            current.insert(
                message.context + QLatin1Char('|') + QString(message.source).replace(QChar(0xfffd), QChar(0xb5)));
        }
        QCOMPARE(QStringList((current - committed).values()), QStringList());
        QCOMPARE(QStringList((committed - current).values()), QStringList());
    }
};

QTEST_MAIN(TestTranslationFiles)
#include "tst_translationfiles.moc"
