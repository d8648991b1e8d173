// The compiled-in resource tree: every image and style sheet is reachable
// under :/res_mpa/ while the tree is registered, images have their exact
// pixel size and 8-bit RGBA format, and the style sheets keep CR LF line
// ends and give the widgets the textures the skins promise.
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString skinSheet(const QString& skin)
{
    return QString::fromLatin1(readResource(QStringLiteral(":/res_mpa/skins/%1.qss").arg(skin)));
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void images_data();
    void images();
    void styleSheetText_data();
    void styleSheetText();
    void texturesUnderSkin_data();
    void texturesUnderSkin();
    void registrationFollowsInitAndCleanup();
};

void TestResources::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    // Channel that dominates the opaque pixels: 'b'lue, 'g'reen, 'r'ed, or
    // 'n'eutral grey (no channel stands out).
    QTest::addColumn<char>("tone");

    QTest::newRow("load") << ":/res_mpa/icons/load.png" << QSize(32, 32) << 'b';
    QTest::newRow("save") << ":/res_mpa/icons/save.png" << QSize(32, 32) << 'b';
    QTest::newRow("restore") << ":/res_mpa/icons/restore.png" << QSize(32, 32) << 'b';
    QTest::newRow("ok") << ":/res_mpa/icons/ok.png" << QSize(32, 32) << 'g';
    QTest::newRow("cancel") << ":/res_mpa/icons/cancel.png" << QSize(32, 32) << 'r';
    QTest::newRow("down") << ":/res_mpa/icons/down.png" << QSize(12, 8) << 'n';
    QTest::newRow("right") << ":/res_mpa/icons/right.png" << QSize(8, 12) << 'n';
    QTest::newRow("up") << ":/res_mpa/icons/up.png" << QSize(12, 8) << 'n';
    QTest::newRow("banner") << ":/res_mpa/banners/banner.png" << QSize(382, 75) << 'b';
    QTest::newRow("main") << ":/res_mpa/backgrounds/main.png" << QSize(248, 184) << 'n';
    QTest::newRow("box") << ":/res_mpa/backgrounds/box.png" << QSize(248, 184) << 'n';
}

void TestResources::images()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(char, tone);

    // The file header itself says 8-bit RGBA (IHDR: width, height, bit depth
    // 8, colour type 6), whatever Qt would convert it to on loading.
    const QByteArray bytes = readResource(path);
    QVERIFY2(bytes.size() > 33, qPrintable(path));
    QCOMPARE(bytes.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    QCOMPARE(bytes.mid(12, 4), QByteArray("IHDR"));
    const auto* ihdr = reinterpret_cast<const uchar*>(bytes.constData()) + 16;
    QCOMPARE(int(qFromBigEndian<quint32>(ihdr)), size.width());
    QCOMPARE(int(qFromBigEndian<quint32>(ihdr + 4)), size.height());
    QCOMPARE(int(ihdr[8]), 8);
    QCOMPARE(int(ihdr[9]), 6);

    const QImage image(path);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.format(), QImage::Format_ARGB32);

    // Mean colour of the opaque pixels, so swapped or recoloured images show.
    qint64 sum[3] = {}, opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) >= 128) {
                sum[0] += qRed(pixel);
                sum[1] += qGreen(pixel);
                sum[2] += qBlue(pixel);
                ++opaque;
            }
        }
    }
    QVERIFY2(opaque > 0, "image is fully transparent");
    const qint64 r = sum[0] / opaque, g = sum[1] / opaque, b = sum[2] / opaque;
    const QByteArray mean = QByteArray::number(r) + ',' + QByteArray::number(g) + ',' + QByteArray::number(b);
    const bool toneMatches = tone == 'b' ? b > r + 20 && b > g
        : tone == 'g'                    ? g > r + 20 && g > b + 20
        : tone == 'r'                    ? r > g + 40 && r > b + 40
                                         : std::max({ r, g, b }) - std::min({ r, g, b }) < 16;
    QVERIFY2(toneMatches, mean.constData());
}

void TestResources::styleSheetText_data()
{
    QTest::addColumn<QString>("skin");
    QTest::newRow("default") << "default";
    QTest::newRow("metal") << "metal";
}

void TestResources::styleSheetText()
{
    QFETCH(QString, skin);
    const QByteArray bytes = readResource(QStringLiteral(":/res_mpa/skins/%1.qss").arg(skin));
    QVERIFY(!bytes.isEmpty());
    QVERIFY2(!bytes.contains('\0'), "a NUL byte would cut the sheet short");

    int lines = 0;
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        QVERIFY2(static_cast<uchar>(c) < 0x80, "the sheets are read as Latin-1: keep them ASCII");
        if (c == '\n') {
            QVERIFY2(i > 0 && bytes.at(i - 1) == '\r', qPrintable(QStringLiteral("bare LF at byte %1").arg(i)));
            ++lines;
        } else if (c == '\r') {
            QVERIFY2(i + 1 < bytes.size() && bytes.at(i + 1) == '\n', "bare CR");
        }
    }
    QVERIFY(lines > 5);
    QCOMPARE(bytes.count('{'), bytes.count('}'));

    // Every image a sheet names is in the tree.
    const QRegularExpression url(QStringLiteral("url\\(([^)]+)\\)"));
    auto matches = url.globalMatch(QString::fromLatin1(bytes));
    while (matches.hasNext()) {
        const QString path = matches.next().captured(1);
        QVERIFY2(path.startsWith(QLatin1String(":/res_mpa/")), qPrintable(path));
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
}

void TestResources::texturesUnderSkin_data()
{
    QTest::addColumn<QString>("skin");
    QTest::addColumn<bool>("darkDialog");
    QTest::newRow("default") << "default" << false;
    QTest::newRow("metal") << "metal" << true;
}

void TestResources::texturesUnderSkin()
{
    QFETCH(QString, skin);
    QFETCH(bool, darkDialog);

    QDialog dialog;
    dialog.resize(200, 200);
    auto* frame = new QFrame(&dialog);
    frame->setObjectName(QStringLiteral("presetFrame"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(40, 40, 120, 120);
    dialog.setStyleSheet(skinSheet(skin));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const QImage shot = dialog.grab().toImage();
    const int outside = qGray(shot.pixel(10, 10));
    const int inside = qGray(shot.pixel(100, 100));
    QVERIFY2(inside > 150, qPrintable(QString::number(inside)));
    if (darkDialog)
        QVERIFY2(outside < 128, qPrintable(QString::number(outside)));
    else
        QVERIFY2(outside > 150, qPrintable(QString::number(outside)));
}

// Registration is owned by whoever calls the generated init/cleanup pair
// (the dialog, for its lifetime); cleanup must really remove the tree.
void TestResources::registrationFollowsInitAndCleanup()
{
    const QString probe = QStringLiteral(":/res_mpa/icons/ok.png");
    QVERIFY(QFile::exists(probe));
    Q_CLEANUP_RESOURCE(res_mpa);
    const bool goneAfterCleanup = !QFile::exists(probe) && QImage(probe).isNull();
    Q_INIT_RESOURCE(res_mpa);
    QVERIFY(goneAfterCleanup);
    QVERIFY(QFile::exists(probe));
    QCOMPARE(QImage(probe).size(), QSize(32, 32));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
