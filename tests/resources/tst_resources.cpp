// The compiled-in resource tree: every image and style sheet is reachable
// under :/res_mpa/ while the tree is registered, images have their exact
// pixel size and 8-bit RGBA format, and the style sheets parse, keep CR LF
// line ends and give the widgets the sizes and textures the skins promise.
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>
#include <memory>

namespace {

QByteArray readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

struct Rule
{
    QString selector;
    QList<QPair<QString, QString>> properties;
};

// A small reader for the subset of CSS the skins use: comments, selectors
// and "name: value;" declarations. Values may contain colons (url(:/...),
// gradient arguments), so a declaration is split at its first colon only.
QList<Rule> parseRules(const QString& sheet)
{
    QString text = sheet;
    text.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    QList<Rule> rules;
    int pos = 0;
    while (true) {
        const int open = text.indexOf(QLatin1Char('{'), pos);
        if (open < 0)
            break;
        const int close = text.indexOf(QLatin1Char('}'), open);
        if (close < 0)
            break;
        Rule rule;
        rule.selector = text.mid(pos, open - pos).simplified();
        const QStringList declarations = text.mid(open + 1, close - open - 1).split(QLatin1Char(';'));
        for (const QString& declaration : declarations) {
            const int colon = declaration.indexOf(QLatin1Char(':'));
            if (colon < 0)
                continue;
            rule.properties.append({ declaration.left(colon).trimmed(), declaration.mid(colon + 1).simplified() });
        }
        rules.append(rule);
        pos = close + 1;
    }
    return rules;
}

// The value in force for a property of the first rule with that selector;
// a null string when the rule or the property is absent.
QString propertyOf(const QList<Rule>& rules, const QString& selector, const QString& property)
{
    for (const Rule& rule : rules) {
        if (rule.selector != selector)
            continue;
        QString value;
        for (const auto& declared : rule.properties) {
            if (declared.first == property)
                value = declared.second;
        }
        return value;
    }
    return {};
}

QList<Rule> rulesOfSkin(const QString& skin)
{
    return parseRules(QString::fromLatin1(readResource(QStringLiteral(":/res_mpa/skins/%1.qss").arg(skin))));
}

QStringList styleWarnings;

void recordStyleWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("style"), Qt::CaseInsensitive))
        styleWarnings.append(message);
}

int luminance(QRgb pixel)
{
    return qGray(pixel);
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
    void skinRules_data();
    void skinRules();
    void gradientsAreComplete();
    void bannerRulesSetNoImage();
    void urlsResolve_data();
    void urlsResolve();
    void buttonSizeUnderSkin_data();
    void buttonSizeUnderSkin();
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

    qint64 sum[3] = {};
    qint64 opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 128)
                continue;
            sum[0] += qRed(pixel);
            sum[1] += qGreen(pixel);
            sum[2] += qBlue(pixel);
            ++opaque;
        }
    }
    QVERIFY2(opaque > 0, "image is fully transparent");
    const qint64 red = sum[0] / opaque;
    const qint64 green = sum[1] / opaque;
    const qint64 blue = sum[2] / opaque;
    const qint64 spread = std::max({ red, green, blue }) - std::min({ red, green, blue });
    const QByteArray mean = QByteArray::number(red) + ',' + QByteArray::number(green) + ',' + QByteArray::number(blue);
    switch (tone) {
    case 'b':
        QVERIFY2(blue > red + 20 && blue > green, mean.constData());
        break;
    case 'g':
        QVERIFY2(green > red + 20 && green > blue + 20, mean.constData());
        break;
    case 'r':
        QVERIFY2(red > green + 40 && red > blue + 40, mean.constData());
        break;
    default:
        QVERIFY2(spread < 16, mean.constData());
    }
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
}

void TestResources::skinRules_data()
{
    QTest::addColumn<QString>("skin");
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");

    for (const char* bound : { "min-height", "max-height", "min-width", "max-width" }) {
        QTest::addRow("default button %s", bound) << "default"
                                                  << "QPushButton" << bound << "24px";
        QTest::addRow("metal button %s", bound) << "metal"
                                                << "QPushButton" << bound << "20px";
    }
    QTest::newRow("default banner border") << "default"
                                           << "QWidget#bannerFrame"
                                           << "border"
                                           << "1px inset #8f8f91";
    QTest::newRow("default banner padding") << "default"
                                            << "QWidget#bannerFrame"
                                            << "padding-left"
                                            << "-4px";
    QTest::newRow("metal banner ridge") << "metal"
                                        << "QWidget#bannerFrame"
                                        << "border"
                                        << "2px ridge #8f8f91";
    QTest::newRow("metal button radius") << "metal"
                                         << "QPushButton"
                                         << "border-radius"
                                         << "12px";
    QTest::newRow("metal button text") << "metal"
                                       << "QPushButton"
                                       << "color"
                                       << "#f0f0f0";
    QTest::newRow("metal hover text") << "metal"
                                      << "QPushButton:hover"
                                      << "color"
                                      << "#ffffff";
    QTest::newRow("metal dialog texture") << "metal"
                                          << "QDialog"
                                          << "background-image"
                                          << "url(:/res_mpa/backgrounds/main.png)";
    for (const char* frame : { "presetFrame", "buttonFrame", "infoFrame" }) {
        QTest::addRow("metal %s texture", frame)
            << "metal" << QStringLiteral("QFrame#%1").arg(QLatin1String(frame)) << "background-image"
            << "url(:/res_mpa/backgrounds/box.png)";
        QTest::addRow("metal %s radius", frame)
            << "metal" << QStringLiteral("QFrame#%1").arg(QLatin1String(frame)) << "border-radius"
            << "10px";
    }
    QTest::newRow("metal info window has no texture") << "metal"
                                                      << "QWidget#errorLog"
                                                      << "background-image" << QString();
    QTest::newRow("metal audio page without texture") << "metal"
                                                      << "ToolBox QFrame#IMPEGAudioPage"
                                                      << "background-image"
                                                      << "url()";
    QTest::newRow("metal audio page children without texture") << "metal"
                                                               << "ToolBox QFrame#IMPEGAudioPage *"
                                                               << "background-image"
                                                               << "url()";
    QTest::newRow("metal tool box class") << "metal"
                                          << ".ToolBox"
                                          << "border"
                                          << "none";
    QTest::newRow("metal vertical scroll bar margin") << "metal"
                                                      << "QScrollBar:vertical"
                                                      << "margin"
                                                      << "20px 0px 20 0px";
}

void TestResources::skinRules()
{
    QFETCH(QString, skin);
    QFETCH(QString, selector);
    QFETCH(QString, property);
    QFETCH(QString, value);

    const QList<Rule> rules = rulesOfSkin(skin);
    QVERIFY(!rules.isEmpty());
    const QString actual = propertyOf(rules, selector, property);
    QCOMPARE(actual, value);
    QCOMPARE(actual.isNull(), value.isNull());
}

void TestResources::gradientsAreComplete()
{
    // Every gradient is written out in full: stops run from 0 to 1 in
    // non-decreasing order and name valid colours.
    const QRegularExpression gradient(QStringLiteral("qlineargradient\\(([^)]*)\\)"));
    const QRegularExpression stop(QStringLiteral("stop: *([0-9.]+) +(#[0-9a-fA-F]{6})"));
    int gradients = 0;
    for (const Rule& rule : rulesOfSkin(QStringLiteral("metal"))) {
        for (const auto& declared : rule.properties) {
            auto matches = gradient.globalMatch(declared.second);
            while (matches.hasNext()) {
                const QString arguments = matches.next().captured(1);
                const QByteArray where = (rule.selector + QLatin1String(" / ") + declared.first).toLatin1();
                QVERIFY2(arguments.contains(QLatin1String("x1: 0, y1: 0, x2: ")), where.constData());
                QList<double> positions;
                auto stops = stop.globalMatch(arguments);
                while (stops.hasNext()) {
                    const auto found = stops.next();
                    positions.append(found.captured(1).toDouble());
                    QVERIFY2(QColor(found.captured(2)).isValid(), where.constData());
                }
                QCOMPARE(positions.size(), arguments.count(QLatin1String("stop:")));
                QVERIFY2(positions.size() == 2 || positions.size() >= 6, where.constData());
                QCOMPARE(positions.first(), 0.0);
                QCOMPARE(positions.last(), 1.0);
                QVERIFY2(std::is_sorted(positions.cbegin(), positions.cend()), where.constData());
                ++gradients;
            }
        }
    }
    QVERIFY(gradients >= 20);
}

void TestResources::bannerRulesSetNoImage()
{
    // The banner comes from code; a skin must not paint over it.
    for (const QString& skin : { QStringLiteral("default"), QStringLiteral("metal") }) {
        const QList<Rule> rules = rulesOfSkin(skin);
        QVERIFY(propertyOf(rules, QStringLiteral("QWidget#bannerFrame"), QStringLiteral("background-image")).isNull());
        QVERIFY(propertyOf(rules, QStringLiteral("QWidget#bannerFrame"), QStringLiteral("background")).isNull());
        QCOMPARE(propertyOf(rules, QStringLiteral("QWidget#bannerFrame"), QStringLiteral("background-origin")),
            QStringLiteral("content"));
    }
}

void TestResources::urlsResolve_data()
{
    styleSheetText_data();
}

void TestResources::urlsResolve()
{
    QFETCH(QString, skin);
    const QString sheet = QString::fromLatin1(readResource(QStringLiteral(":/res_mpa/skins/%1.qss").arg(skin)));
    const QRegularExpression url(QStringLiteral("url\\(([^)]+)\\)"));
    auto matches = url.globalMatch(sheet);
    while (matches.hasNext()) {
        const QString path = matches.next().captured(1);
        QVERIFY2(path.startsWith(QLatin1String(":/res_mpa/")), qPrintable(path));
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
}

void TestResources::buttonSizeUnderSkin_data()
{
    QTest::addColumn<QString>("skin");
    // Content size the sheet declares; the style adds the button's border.
    QTest::addColumn<int>("declared");
    QTest::newRow("default") << "default" << 24;
    QTest::newRow("metal") << "metal" << 20;
}

void TestResources::buttonSizeUnderSkin()
{
    QFETCH(QString, skin);
    QFETCH(int, declared);

    styleWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordStyleWarnings);
    QDialog dialog;
    auto* layout = new QHBoxLayout(&dialog);
    auto* iconButton = new QPushButton(&dialog);
    iconButton->setIcon(QIcon(QStringLiteral(":/res_mpa/icons/ok.png")));
    auto* textButton = new QPushButton(QStringLiteral("A button with a long text"), &dialog);
    layout->addWidget(iconButton);
    layout->addWidget(textButton);
    dialog.setStyleSheet(QString::fromLatin1(readResource(QStringLiteral(":/res_mpa/skins/%1.qss").arg(skin))));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    qInstallMessageHandler(previous);
    QVERIFY2(styleWarnings.isEmpty(), qPrintable(styleWarnings.join(QLatin1Char('\n'))));

    // Whatever the content, every button is pinned to one square size.
    for (const QPushButton* button : { iconButton, textButton }) {
        QCOMPARE(button->minimumSize(), button->maximumSize());
        QCOMPARE(button->size(), button->minimumSize());
    }
    const QSize size = iconButton->size();
    QCOMPARE(textButton->size(), size);
    QCOMPARE(size.width(), size.height());
    QVERIFY2(size.width() >= declared && size.width() <= declared + 4, qPrintable(QString::number(size.width())));
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
    dialog.setStyleSheet(QString::fromLatin1(readResource(QStringLiteral(":/res_mpa/skins/%1.qss").arg(skin))));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const QImage shot = dialog.grab().toImage();
    const int outside = luminance(shot.pixel(10, 10));
    const int inside = luminance(shot.pixel(100, 100));
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
