#include "librarydirectory.h"

#include <QFileInfo>
#include <vector>
#include <windows.h>

namespace Platform {

QString libraryDirectory()
{
    HMODULE module = nullptr;
    const DWORD lookup = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(lookup, reinterpret_cast<LPCWSTR>(&libraryDirectory), &module))
        return QString();
    // Long paths may exceed MAX_PATH; the buffer grows until the name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return QString();
        if (length < buffer.size()) {
            const QString path = QString::fromWCharArray(buffer.data(), static_cast<int>(length));
            return QFileInfo(path).absolutePath();
        }
        if (buffer.size() >= 32768)
            return QString();
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace Platform
