#include "regularfile.h"

#include <QFile>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace Platform {

bool openRegularFile(const QString& path, QFile* file)
{
    // Opening a named pipe or a device such as CON does not wait for the
    // other end; the descriptor tells what was opened.
    const int descriptor = _wopen(reinterpret_cast<const wchar_t*>(path.utf16()), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (descriptor < 0)
        return false;
    struct _stat64 status;
    if (_fstat64(descriptor, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG
        || !file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        _close(descriptor);
        return false;
    }
    return true;
}

} // namespace Platform
