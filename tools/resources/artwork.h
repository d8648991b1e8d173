// Painters for the dialog's compiled-in images. Every function returns an
// image in QImage::Format_ARGB32 so that PNG files come out as 8-bit RGBA.
#ifndef VL_RESOURCES_ARTWORK_H
#define VL_RESOURCES_ARTWORK_H

#include <QImage>
#include <QString>
#include <vector>

namespace Artwork {

enum class Direction { Down, Right, Up };

QImage loadIcon();
QImage saveIcon();
QImage restoreIcon();
QImage okIcon();
QImage cancelIcon();
QImage arrow(Direction direction);
QImage banner();
// Horizontally brushed metal around the grey level base (0-255); seed makes
// the streaks reproducible.
QImage brushedMetal(int base, unsigned seed);

struct Asset
{
    QString path; // relative to the res_mpa directory
    QImage image;
};

// Every image of the resource tree with its path.
std::vector<Asset> allAssets();

} // namespace Artwork

#endif // VL_RESOURCES_ARTWORK_H
