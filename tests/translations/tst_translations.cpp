// The encoder's reports in a dialog run follow the user's locale; the catalogues translate every
// marked text but the value-table and format names, keeping patterns, breaks, placeholders.
#include "rows.h"
#include "testsandbox.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString context, source, translation; // empty when unfinished, obsolete or vanished
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
            const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            messages.append({ m.context, m.source, finished ? xml.readElementText() : QString() });
        }
    }
    return messages;
}

// The file patterns, ";;" and line breaks of file-dialog filters, and the placeholders.
QStringList kept(const QString& text)
{
    QStringList parts;
    for (auto it = QRegularExpression("\\(\\*\\.[^)]*\\)|;;|\\n|%\\d+").globalMatch(text); it.hasNext();)
        parts << it.next().captured();
    return parts;
}

// name, locale, catalogue, message; neutral first, before any localisation module is loaded
const std::tuple<const char*, QByteArray, QString, QString> languageRows[] = {
    { "neutral", "C", "", "Sampling frequency 44100 Hz is not allowed for DVD-Video; use 48000 Hz." },
    { "German", "de_DE.UTF-8", "de",
        "Die Abtastrate 44100 Hz ist für DVD-Video nicht zulässig; verwenden Sie 48000 Hz." },
    { "Japanese", "ja_JP.UTF-8", "jp",
        "サンプリング周波数 44100 Hz は DVD-Video では使用できません。48000 Hz を使用してください。" },
};

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

    void language_data() { addRows(languageRows); }

    void language()
    {
        const auto& [name, locale, catalogue, message] = currentRow(languageRows);
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
            QVERIFY2(!m.translation.isEmpty() && kept(m.translation) == kept(m.source),
                qPrintable(m.context + ": " + m.source));
            if (m.context == "QObject" || m.context == "MPEGAudioPage"
                || (m.context == "MPAEncoderDlg" && (m.source.startsWith("MPEG-") || m.source.startsWith("AVC ")))) {
                QCOMPARE(m.translation, m.source);
                ++untranslated;
            }
            committed.insert(m.context + '|' + m.source);
        }
        QVERIFY(untranslated > 0 && committed.size() > untranslated + 10);

        // Extracted afresh from the sources: none missing, none left over.
        QTemporaryDir scratch;
        QCOMPARE(QProcess::execute(VL_LUPDATE,
                     { "-silent", "-locations", "none", VL_GUI_SOURCE_DIR, "-ts", scratch.filePath("x.ts") }),
            0);
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
