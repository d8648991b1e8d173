// The encoder's reports in a dialog run follow the user's locale through the
// localisation module loaded beside the translation; the catalogues translate
// every marked text but the value-table and format names (the change loop
// compares those across contexts), keeping patterns, breaks, placeholders.
#include "testsandbox.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString context, source, translation, type; // type: "unfinished", "obsolete", "vanished" or empty
};

QList<Message> readTs(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QList<Message> messages;
    Message m;
    for (QXmlStreamReader xml(&file); !xml.atEnd();) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            m.context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            m.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            m.type = xml.attributes().value(QLatin1String("type")).toString();
            m.translation = xml.readElementText();
            messages.append(m);
        }
    }
    return messages;
}

// The file patterns, ";;" and line breaks of file-dialog filters, and the
// placeholders of a text.
QStringList kept(const QString& text)
{
    QStringList parts;
    for (auto it = QRegularExpression("\\(\\*\\.[^)]*\\)|;;|\\n|%\\d+").globalMatch(text); it.hasNext();)
        parts << it.next().captured();
    return parts;
}

} // namespace

class TestTranslations : public SandboxTest
{
    Q_OBJECT

private slots:
    void init()
    {
        QCoreApplication::addLibraryPath(sandbox->path()); // where the library looks for translations
        QVERIFY(sandbox->setModules({ TestModule::Config, TestModule::Import }));
        for (const char* file : { "gui_mpa_de.qm", "gui_mpa_jp.qm", "vl_enc_mpa.so", "gui_mpa_localize.so" })
            QVERIFY2(sandbox->addFile(QStringLiteral(VL_QM_DIR "/") + QLatin1String(file)), file);
    }

    // One process: the neutral row first, before any localisation module is
    // loaded.
    void language_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("message");
        QTest::newRow("neutral") << QByteArray("C") << QString()
                                 << "Sampling frequency 44100 Hz is not allowed for DVD-Video; use 48000 Hz.";
        QTest::newRow("German")
            << QByteArray("de_DE.UTF-8") << "de"
            << QString::fromUtf8("Die Abtastrate 44100 Hz ist für DVD-Video nicht zulässig; verwenden Sie 48000 Hz.");
        QTest::newRow("Japanese") << QByteArray("ja_JP.UTF-8") << "jp"
                                  << QString::fromUtf8("サンプリング周波数 44100 Hz は DVD-Video "
                                                       "では使用できません。48000 Hz を使用してください。");
    }

    void language()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QString, catalogue);
        QFETCH(QString, message);
        for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" })
            qputenv(name, locale);
        EncoderSettings settings = hostBlock(QStringLiteral("mode=0 audioType=4 sampleFrequency=44100"));
        QStringList steps;
        const QString expect = "expect:errorLog=" + QString(message).replace(';', "\\;");
        QCOMPARE(sandbox->call(&settings, VL_FLAG_HOST_APPLICATION | 0x71,
                     reinterpret_cast<intptr_t>(QCoreApplication::instance()), "ok;" + expect + ";cancel", &steps),
            int32_t(VL_DIALOG_REJECTED));
        QCOMPARE(steps.value(1), "expect:errorLog=" + message);
        if (catalogue.isEmpty())
            return;

        int untranslated = 0;
        QSet<QString> committed;
        for (const Message& m : readTs(QStringLiteral(VL_TS_DIR "/gui_mpa_%1.ts").arg(catalogue))) {
            const QByteArray where = (m.context + ": " + m.source).toUtf8();
            QVERIFY2(m.type.isEmpty() && !m.translation.isEmpty(), where.constData());
            QVERIFY2(kept(m.translation) == kept(m.source), where.constData());
            if (m.context == "QObject" || m.context == "MPEGAudioPage"
                || (m.context == "MPAEncoderDlg" && (m.source.startsWith("MPEG-") || m.source.startsWith("AVC ")))) {
                QCOMPARE(m.translation, m.source);
                ++untranslated;
            }
            committed.insert(m.context + '|' + m.source);
        }
        QVERIFY(untranslated > 0 && committed.size() > untranslated + 10);

        // Extracted afresh from the sources: the same texts, none missing and
        // none left over.
        QTemporaryDir scratch;
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(VL_LUPDATE, { "-locations", "none", VL_GUI_SOURCE_DIR, "-ts", scratch.filePath("x.ts") });
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAll().constData());
        QSet<QString> current;
        // lupdate reads the value tables' Latin-1 micro sign as U+FFFD.
        for (const Message& m : readTs(scratch.filePath("x.ts")))
            current.insert(m.context + '|' + QString(m.source).replace(QChar(0xfffd), QChar(0xb5)));
        QCOMPARE(QStringList((current - committed).values()), QStringList());
        QCOMPARE(QStringList((committed - current).values()), QStringList());
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
