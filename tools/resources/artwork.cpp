#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <random>

namespace Artwork {

namespace {

constexpr int IconSize = 32;

// Paint premultiplied (what QPainter blends fastest and most exactly), hand
// back straight alpha so that the PNG writer stores colour type RGBA.
class Canvas
{
public:
    Canvas(int width, int height)
        : pixels(width, height, QImage::Format_ARGB32_Premultiplied)
    {
        pixels.fill(Qt::transparent);
    }

    QImage& image() { return pixels; }
    QImage result() const { return pixels.convertToFormat(QImage::Format_ARGB32); }

private:
    QImage pixels;
};

void prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QLinearGradient vertical(qreal top, qreal bottom, const QColor& from, const QColor& to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

const QColor blueDark(0x12, 0x3f, 0x8c);
const QColor blueMid(0x2f, 0x6f, 0xd0);
const QColor blueLight(0x8c, 0xbc, 0xf5);

} // namespace

QImage loadIcon()
{
    Canvas canvas(IconSize, IconSize);
    QPainter p(&canvas.image());
    prepare(p);

    // Back wall of the folder with its tab.
    QPainterPath back;
    back.moveTo(2.5, 6.5);
    back.lineTo(11.5, 6.5);
    back.lineTo(14.5, 9.5);
    back.lineTo(26.5, 9.5);
    back.lineTo(26.5, 27.5);
    back.lineTo(2.5, 27.5);
    back.closeSubpath();
    p.setPen(QPen(blueDark, 1));
    p.setBrush(vertical(6, 28, blueMid, blueDark));
    p.drawPath(back);

    // A sheet of paper sticking out of the open folder.
    p.setPen(QPen(QColor(0x90, 0x90, 0x98), 1));
    p.setBrush(QColor(0xfb, 0xfb, 0xfb));
    p.drawRect(QRectF(6.5, 11.5, 17, 12));
    p.setPen(QPen(QColor(0xb8, 0xc4, 0xd8), 1));
    for (int y = 14; y <= 20; y += 3)
        p.drawLine(QPointF(9, y + 0.5), QPointF(21, y + 0.5));

    // Front flap, tilted forward to show that the folder is open.
    QPainterPath front;
    front.moveTo(7.5, 15.5);
    front.lineTo(30.5, 15.5);
    front.lineTo(25.5, 27.5);
    front.lineTo(2.5, 27.5);
    front.closeSubpath();
    p.setPen(QPen(blueDark, 1));
    p.setBrush(vertical(15, 28, blueLight, blueMid));
    p.drawPath(front);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.drawLine(QPointF(8.5, 16.5), QPointF(29, 16.5));
    p.end();
    return canvas.result();
}

QImage saveIcon()
{
    Canvas canvas(IconSize, IconSize);
    QPainter p(&canvas.image());
    prepare(p);

    // Body with the cut corner at the top right.
    QPainterPath body;
    body.moveTo(3.5, 4.5);
    body.lineTo(25.5, 4.5);
    body.lineTo(28.5, 7.5);
    body.lineTo(28.5, 27.5);
    body.quadTo(28.5, 28.5, 27.5, 28.5);
    body.lineTo(4.5, 28.5);
    body.quadTo(3.5, 28.5, 3.5, 27.5);
    body.closeSubpath();
    p.setPen(QPen(blueDark, 1));
    p.setBrush(vertical(4, 29, blueMid, blueDark));
    p.drawPath(body);

    // Metal shutter with its window.
    p.setPen(QPen(QColor(0x6a, 0x6e, 0x78), 1));
    p.setBrush(vertical(4, 13, QColor(0xe8, 0xea, 0xee), QColor(0xa4, 0xa8, 0xb0)));
    p.drawRect(QRectF(9.5, 4.5, 13, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(blueDark);
    p.drawRect(QRectF(18, 6, 3, 6));

    // Paper label.
    p.setPen(QPen(QColor(0x9a, 0xa4, 0xb4), 1));
    p.setBrush(QColor(0xfa, 0xfa, 0xfa));
    p.drawRoundedRect(QRectF(7.5, 17.5, 17, 11), 1, 1);
    p.setPen(QPen(QColor(0xc8, 0x50, 0x50), 1));
    p.drawLine(QPointF(9, 20.5), QPointF(23, 20.5));
    p.setPen(QPen(QColor(0xb8, 0xc4, 0xd8), 1));
    p.drawLine(QPointF(9, 23.5), QPointF(23, 23.5));
    p.drawLine(QPointF(9, 26.5), QPointF(23, 26.5));
    p.end();
    return canvas.result();
}

QImage restoreIcon()
{
    Canvas canvas(IconSize, IconSize);
    QPainter p(&canvas.image());
    prepare(p);

    // Three quarters of a circle, running clockwise from the top left round
    // to the left side, where the arrow head points back up.
    const QRectF ring(6, 6, 20, 20);
    QPainterPath arc;
    arc.arcMoveTo(ring, 135);
    arc.arcTo(ring, 135, -270 + 20);

    QPainterPath head;
    head.moveTo(2.0, 12.5);
    head.lineTo(14.5, 10.5);
    head.lineTo(5.0, 1.5);
    head.closeSubpath();

    QPen outline(blueDark, 6.5, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(QPen(blueDark, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(blueDark);
    p.drawPath(head);

    QLinearGradient fill(0, 4, 0, 28);
    fill.setColorAt(0, blueLight);
    fill.setColorAt(1, blueMid);
    p.setPen(QPen(QBrush(fill), 4, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(head);
    p.end();
    return canvas.result();
}

QImage okIcon()
{
    Canvas canvas(IconSize, IconSize);
    QPainter p(&canvas.image());
    prepare(p);

    QPainterPath tick;
    tick.moveTo(5, 17);
    tick.lineTo(12.5, 24.5);
    tick.lineTo(27, 7);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x1c, 0x5e, 0x12), 7.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    QLinearGradient fill(0, 6, 0, 26);
    fill.setColorAt(0, QColor(0x9a, 0xe6, 0x5c));
    fill.setColorAt(1, QColor(0x2f, 0x9a, 0x1c));
    p.setPen(QPen(QBrush(fill), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.end();
    return canvas.result();
}

QImage cancelIcon()
{
    Canvas canvas(IconSize, IconSize);
    QPainter p(&canvas.image());
    prepare(p);

    QRadialGradient disc(QPointF(12, 10), 20);
    disc.setColorAt(0, QColor(0xff, 0x8a, 0x7a));
    disc.setColorAt(0.55, QColor(0xe0, 0x22, 0x1a));
    disc.setColorAt(1, QColor(0x9a, 0x0c, 0x08));
    p.setPen(QPen(QColor(0x7a, 0x08, 0x06), 1));
    p.setBrush(disc);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));

    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
    p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
    p.end();
    return canvas.result();
}

QImage arrow(Direction direction)
{
    const bool upright = direction == Direction::Right;
    Canvas canvas(upright ? 8 : 12, upright ? 12 : 8);
    QPainter p(&canvas.image());
    prepare(p);

    QPolygonF triangle;
    switch (direction) {
    case Direction::Down:
        triangle << QPointF(1, 1.5) << QPointF(11, 1.5) << QPointF(6, 7);
        break;
    case Direction::Up:
        triangle << QPointF(1, 6.5) << QPointF(11, 6.5) << QPointF(6, 1);
        break;
    case Direction::Right:
        triangle << QPointF(1.5, 1) << QPointF(1.5, 11) << QPointF(7, 6);
        break;
    }
    p.setPen(QPen(QColor(0x50, 0x50, 0x54), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x8c, 0x8c, 0x90));
    p.drawPolygon(triangle);
    p.end();
    return canvas.result();
}

QImage banner()
{
    Canvas canvas(382, 75);
    QImage& image = canvas.image();
    QPainter p(&image);
    prepare(p);

    QLinearGradient sky(0, 0, image.width(), image.height());
    sky.setColorAt(0, QColor(0x00, 0x00, 0x00));
    sky.setColorAt(0.45, QColor(0x04, 0x0c, 0x2c));
    sky.setColorAt(1, QColor(0x0c, 0x34, 0x8a));
    p.fillRect(image.rect(), sky);

    // A faint sheen across the upper half.
    QLinearGradient sheen(0, 0, 0, image.height() / 2.0);
    sheen.setColorAt(0, QColor(255, 255, 255, 38));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 0, image.width(), image.height() / 2.0), sheen);

    // Logo: a sound wave inside a ring.
    const QPointF centre(38, 37.5);
    p.setPen(QPen(QColor(0x6c, 0xa8, 0xff), 2.5));
    p.setBrush(QColor(0x08, 0x1c, 0x50));
    p.drawEllipse(centre, 26, 26);
    QPainterPath wave;
    for (int i = 0; i <= 80; ++i) {
        const qreal x = -19 + 38.0 * i / 80;
        const qreal envelope = std::cos(x / 19 * M_PI / 2);
        const qreal y = 13 * envelope * std::sin(x * 0.75);
        const QPointF point = centre + QPointF(x, y);
        if (i == 0)
            wave.moveTo(point);
        else
            wave.lineTo(point);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xe8, 0xf2, 0xff), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);

    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(30);
    name.setBold(true);
    name.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(name);
    p.setPen(QColor(0x20, 0x30, 0x60));
    p.drawText(QPointF(78, 38), QStringLiteral("Veltrano"));
    p.setPen(Qt::white);
    p.drawText(QPointF(76, 36), QStringLiteral("Veltrano"));

    QFont product(QStringLiteral("DejaVu Sans"));
    product.setPixelSize(17);
    p.setFont(product);
    p.setPen(QColor(0x9c, 0xc4, 0xff));
    p.drawText(QPointF(78, 60), QStringLiteral("MPEG-1/2 Audio"));

    p.setPen(QPen(QColor(0x6c, 0xa8, 0xff, 160), 1));
    p.drawLine(QPointF(78, 44.5), QPointF(370, 44.5));
    p.end();
    return canvas.result();
}

QImage brushedMetal(int base, unsigned seed)
{
    constexpr int width = 248;
    constexpr int height = 184;
    std::mt19937 rng(seed);
    // The engine's raw output is the same on every platform, unlike the
    // standard distributions.
    const auto unit = [&rng] { return static_cast<double>(rng()) / static_cast<double>(std::mt19937::max()) - 0.5; };

    // Box blur along a row that wraps around, so the texture tiles seamlessly
    // from left to right.
    const auto smear = [](const std::vector<double>& row, int radius) {
        const int n = static_cast<int>(row.size());
        std::vector<double> out(row.size());
        for (int x = 0; x < n; ++x) {
            double sum = 0;
            for (int k = -radius; k <= radius; ++k)
                sum += row[static_cast<size_t>(((x + k) % n + n) % n)];
            out[static_cast<size_t>(x)] = sum / (2 * radius + 1);
        }
        return out;
    };

    QImage image(width, height, QImage::Format_ARGB32);
    std::vector<double> row(width);
    for (int y = 0; y < height; ++y) {
        const double rowShade = 10 * unit();
        for (double& v : row)
            v = unit();
        const std::vector<double> streaks = smear(row, 18);
        for (double& v : row)
            v = unit();
        const std::vector<double> grain = smear(row, 2);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double v
                = base + rowShade + 90 * streaks[static_cast<size_t>(x)] + 28 * grain[static_cast<size_t>(x)];
            const int grey = std::clamp(static_cast<int>(std::lround(v)), 0, 255);
            // A hint of blue keeps the grey from looking brownish on screen.
            line[x] = qRgba(grey, grey, std::min(255, grey + 3), 255);
        }
    }
    return image;
}

std::vector<Asset> allAssets()
{
    return {
        { QStringLiteral("icons/load.png"), loadIcon() },
        { QStringLiteral("icons/save.png"), saveIcon() },
        { QStringLiteral("icons/restore.png"), restoreIcon() },
        { QStringLiteral("icons/ok.png"), okIcon() },
        { QStringLiteral("icons/cancel.png"), cancelIcon() },
        { QStringLiteral("icons/down.png"), arrow(Direction::Down) },
        { QStringLiteral("icons/right.png"), arrow(Direction::Right) },
        { QStringLiteral("icons/up.png"), arrow(Direction::Up) },
        { QStringLiteral("banners/banner.png"), banner() },
        { QStringLiteral("backgrounds/main.png"), brushedMetal(0x5a, 1771u) },
        { QStringLiteral("backgrounds/box.png"), brushedMetal(0xc4, 3349u) },
    };
}

} // namespace Artwork
