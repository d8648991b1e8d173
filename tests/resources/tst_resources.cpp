// The compiled-in resource tree: every image is an 8-bit RGBA PNG that
// loads, the style sheets stay ASCII with CR LF line ends and name only
// images of the tree, and the tree is there exactly while registered.
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

namespace {
QByteArray readResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList resourceFiles(const QString& pattern)
{
    QStringList files;
    QDirIterator it(QStringLiteral(":/res_mpa"), { pattern }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}
} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void images()
    {
        const QStringList files = resourceFiles(QStringLiteral("*.png"));
        QVERIFY(files.size() > 5);
        for (const QString& path : files) {
            // IHDR: bit depth 8, colour type 6 (RGBA), whatever Qt would
            // convert it to on loading.
            const QByteArray bytes = readResource(path);
            QVERIFY2(bytes.startsWith("\x89PNG\r\n\x1a\n") && bytes.mid(12, 4) == "IHDR", qPrintable(path));
            QVERIFY2(bytes.at(24) == 8 && bytes.at(25) == 6, qPrintable(path));
            QVERIFY2(!QImage(path).isNull(), qPrintable(path));
        }
    }

    void styleSheets()
    {
        const QStringList files = resourceFiles(QStringLiteral("*.qss"));
        QCOMPARE(files.size(), 2);
        for (const QString& path : files) {
            const QByteArray bytes = readResource(path);
            // The dialog reads the sheets as NUL-terminated Latin-1.
            for (const char c : bytes)
                QVERIFY2(c > 0, qPrintable(path + QStringLiteral(": not ASCII")));
            QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
            QCOMPARE(bytes.count("\r\n"), bytes.count('\r'));
            QCOMPARE(bytes.count('{'), bytes.count('}'));
            auto urls = QRegularExpression(QStringLiteral("url\\(([^)]+)\\)")).globalMatch(QString::fromLatin1(bytes));
            while (urls.hasNext()) {
                const QString image = urls.next().captured(1);
                QVERIFY2(image.startsWith(QLatin1String(":/res_mpa/")) && !QImage(image).isNull(), qPrintable(image));
            }
        }
    }

    // Registration is owned by whoever calls the generated init/cleanup pair
    // (the dialog, for its lifetime); cleanup must really remove the tree.
    void registrationFollowsInitAndCleanup()
    {
        const QString probe = QStringLiteral(":/res_mpa/icons/ok.png");
        QVERIFY(QFile::exists(probe));
        Q_CLEANUP_RESOURCE(res_mpa);
        const bool goneAfterCleanup = !QFile::exists(probe) && QImage(probe).isNull();
        Q_INIT_RESOURCE(res_mpa);
        QVERIFY(goneAfterCleanup);
        QVERIFY(!QImage(probe).isNull());
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
