// The compiled-in resource tree: every image loads with its transparency, the
// style sheets stay ASCII (the dialog reads them as NUL-terminated Latin-1)
// and name only images of the tree.
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void imagesAndSheets()
    {
        int images = 0;
        int sheets = 0;
        for (QDirIterator it(":/res_mpa", QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            const QString path = it.next();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            if (path.endsWith(".png")) {
                QVERIFY2(QImage(path).hasAlphaChannel(), qPrintable(path));
                ++images;
            } else if (path.endsWith(".qss")) {
                QVERIFY2(std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > 0; }), qPrintable(path));
                for (auto urls = QRegularExpression("url\\(([^)]+)\\)").globalMatch(bytes); urls.hasNext();) {
                    const QString image = urls.next().captured(1);
                    QVERIFY2(image.startsWith(":/res_mpa/") && !QImage(image).isNull(), qPrintable(image));
                }
                ++sheets;
            }
        }
        QVERIFY(images > 5);
        QCOMPARE(sheets, 2);
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
