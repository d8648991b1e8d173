#include "librarydirectory.h"

#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>

namespace Platform {

QString libraryDirectory()
{
    Dl_info info {};
    if (!dladdr(reinterpret_cast<const void*>(&libraryDirectory), &info) || !info.dli_fname)
        return QString();
    // The main program may be reported by a relative name or none at all.
    const QString path = info.dli_fname[0] == '/' ? QFile::decodeName(info.dli_fname)
                                                  : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

} // namespace Platform
