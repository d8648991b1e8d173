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

QList<Message> readTs(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            current = Message { context, {}, {}, {} };
        } else if (name == QLatin1String("source")) {
            current.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            current.type = xml.attributes().value(QLatin1String("type")).toString();
            current.translation = xml.readElementText();
            messages.append(current);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

QString tsPath(const QString& language)
{
    return QStringLiteral(VL_TS_DIR "/gui_mpa_%1.ts").arg(language);
}

// Texts the dialog shows and compares without translating: the value-table
// entries and the audio-type (format) names.
bool staysUntranslated(const Message& message)
{
    if (message.context == QLatin1String("QObject") || message.context == QLatin1String("MPEGAudioPage"))
        return true;
    return message.context == QLatin1String("MPAEncoderDlg")
        && (message.source.startsWith(QLatin1String("MPEG-")) || message.source.startsWith(QLatin1String("AVC ")));
}

QStringList filePatterns(const QString& text)
{
    static const QRegularExpression group(QStringLiteral("\\((\\*\\.[^)]*)\\)"));
    QStringList patterns;
    auto matches = group.globalMatch(text);
    while (matches.hasNext())
        patterns << matches.next().captured(1);
    return patterns;
}

} // namespace

class TestTranslationFiles : public QObject
{
    Q_OBJECT

private slots:
    void catalogue_data();
    void catalogue();
    void sourcesMatchExtraction_data() { catalogue_data(); }
    void sourcesMatchExtraction();
};

void TestTranslationFiles::catalogue_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << "de";
    QTest::newRow("Japanese") << "jp";
}

// Every entry is finished, value texts stay as they are, translations keep
// what the code relies on, and the built catalogue gives the same texts.
void TestTranslationFiles::catalogue()
{
    QFETCH(QString, language);
    QString error;
    const QList<Message> messages = readTs(tsPath(language), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!messages.isEmpty());
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral("gui_mpa_") + language, QStringLiteral(VL_QM_DIR)));

    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    int untranslated = 0;
    int translated = 0;
    for (const Message& message : messages) {
        const QString& source = message.source;
        const QString& translation = message.translation;
        const QByteArray where = (message.context + QLatin1String(": ") + source).toUtf8();
        QVERIFY2(message.type.isEmpty() && !translation.isEmpty(), where.constData());
        if (staysUntranslated(message)) {
            QCOMPARE(translation, source);
            ++untranslated;
        }
        // A file dialog only filters by the patterns it can parse.
        QVERIFY2(filePatterns(translation) == filePatterns(source), where.constData());
        for (const QString& kept : { QStringLiteral(";;"), QStringLiteral("\n") })
            QVERIFY2(translation.count(kept) == source.count(kept), where.constData());
        QVERIFY2(translation.count(placeholder) == source.count(placeholder), where.constData());

        const QByteArray context = message.context.toUtf8();
        const QString found = translator.translate(context.constData(), source.toUtf8().constData());
        // lrelease may leave out entries identical to their source.
        QCOMPARE(found.isEmpty() ? source : found, translation);
        translated += translation != source ? 1 : 0;
    }
    QVERIFY(untranslated > 0);
    QVERIFY(translated > 10);
}

void TestTranslationFiles::sourcesMatchExtraction()
{
    QFETCH(QString, language);
    QString error;
    QSet<QString> committed;
    for (const Message& message : readTs(tsPath(language), &error))
        committed.insert(message.context + QLatin1Char('\x1f') + message.source);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    // Extract afresh from the sources, as a translator updating the files would.
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString extracted = scratch.filePath(QStringLiteral("extracted.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(VL_LUPDATE),
        { QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral(VL_GUI_SOURCE_DIR),
            QStringLiteral("-ts"), extracted });
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());

    QSet<QString> current;
    for (Message message : readTs(extracted, &error)) {
        // The value tables spell the micro sign as the Latin-1 escape \xB5,
        // which lupdate, reading UTF-8, turns into a replacement character.
        message.source.replace(QChar(0xfffd), QChar(0xb5));
        current.insert(message.context + QLatin1Char('\x1f') + message.source);
    }
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!current.isEmpty());

    const auto describe = [](QSet<QString> texts) {
        QStringList list = texts.values();
        list.sort();
        return list.join(QLatin1String(" | ")).replace(QLatin1Char('\x1f'), QLatin1String(": ")).toUtf8();
    };
    QVERIFY2((current - committed).isEmpty(), "not translated: " + describe(current - committed));
    QVERIFY2((committed - current).isEmpty(), "no longer in the sources: " + describe(committed - current));
}

QTEST_MAIN(TestTranslationFiles)
#include "tst_translationfiles.moc"
