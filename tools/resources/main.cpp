// Writes the dialog's images into the res_mpa directory of the source tree
// (or into the directory given as the only argument).
#include "artwork.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    // Text rendering needs a GUI application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    const QDir target(args.size() > 1 ? args.at(1) : QStringLiteral(VL_RES_SOURCE_DIR));
    QTextStream out(stdout);
    QTextStream err(stderr);

    for (const Artwork::Asset& asset : Artwork::allAssets()) {
        const QString path = target.filePath(asset.path);
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !asset.image.save(path, "PNG")) {
            err << "cannot write " << path << Qt::endl;
            return 1;
        }
        out << asset.image.width() << 'x' << asset.image.height() << ' ' << QFileInfo(path).size() << " bytes  "
            << QDir::cleanPath(path) << Qt::endl;
    }
    return 0;
}
