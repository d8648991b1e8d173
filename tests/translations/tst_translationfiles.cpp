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
    file.open(QIODevice::ReadOnly);
    QList<Message> messages;
    Message current;
    for (QXmlStreamReader xml(&file); !xml.atEnd();) {
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
    return messages;
}

// What a translation must keep of its source: the file patterns, ";;" and
// line breaks of file-dialog filters, and the placeholders.
QStringList kept(const QString& text)
{
    QStringList parts;
    for (auto it = QRegularExpression("\\(\\*\\.[^)]*\\)|;;|\\n|%\\d+").globalMatch(text); it.hasNext();)
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

    // Texts the dialog shows and compares without translating: the
    // value-table entries and the audio-type (format) names. lrelease may
    // leave out entries identical to their source.
    void catalogue()
    {
        QFETCH(QString, language);
        QTranslator translator;
        QVERIFY(translator.load("gui_mpa_" + language, VL_QM_DIR));
        int untranslated = 0;
        int translated = 0;
        QSet<QString> committed;
        for (const Message& m : readTs(QStringLiteral(VL_TS_DIR "/gui_mpa_%1.ts").arg(language))) {
            const QByteArray where = (m.context + ": " + m.source).toUtf8();
            QVERIFY2(m.type.isEmpty() && !m.translation.isEmpty(), where.constData());
            QVERIFY2(kept(m.translation) == kept(m.source), where.constData());
            if (m.context == "QObject" || m.context == "MPEGAudioPage"
                || (m.context == "MPAEncoderDlg" && (m.source.startsWith("MPEG-") || m.source.startsWith("AVC ")))) {
                QCOMPARE(m.translation, m.source);
                ++untranslated;
            }
            translated += m.translation != m.source;
            const QString found = translator.translate(m.context.toUtf8(), m.source.toUtf8());
            QCOMPARE(found.isEmpty() ? m.source : found, m.translation);
            committed.insert(m.context + '|' + m.source);
        }
        QVERIFY(untranslated > 0 && translated > 10);

        // Extract afresh from the sources, as a translator updating the files
        // would: the same texts, none missing and none left over.
        QTemporaryDir scratch;
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(VL_LUPDATE, { "-locations", "none", VL_GUI_SOURCE_DIR, "-ts", scratch.filePath("x.ts") });
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
        QSet<QString> current;
        // The value tables spell the micro sign as the Latin-1 escape \xB5,
        // which lupdate, reading UTF-8, turns into U+FFFD.
        for (const Message& m : readTs(scratch.filePath("x.ts")))
            current.insert(m.context + '|' + QString(m.source).replace(QChar(0xfffd), QChar(0xb5)));
        QCOMPARE(QStringList((current - committed).values()), QStringList());
        QCOMPARE(QStringList((committed - current).values()), QStringList());
    }
};

QTEST_MAIN(TestTranslationFiles)
#include "tst_translationfiles.moc"
