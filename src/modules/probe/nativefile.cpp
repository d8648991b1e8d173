#include "nativefile.h"

#include <cerrno>
#include <algorithm>
#include <fcntl.h>
#include <limits>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vl::probe {

#ifdef _WIN32

bool widePath(const std::string& path, std::wstring& wide)
{
    wide.clear();
    if (path.empty() || path.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return path.empty();
    }
    const int length = static_cast<int>(path.size());
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, nullptr, 0);
    if (units <= 0) {
        return false;
    }
    wide.resize(static_cast<std::size_t>(units));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, wide.data(), units) == units;
}

int openFile(const std::string& path, int flags)
{
    std::wstring wide;
    if (!widePath(path, wide)) {
        errno = ENOENT; // no file has a name that is not UTF-8
        return -1;
    }
    return ::_wopen(wide.c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

int64_t readFileAt(int fd, void* buffer, std::size_t n, uint64_t offset)
{
    const auto file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (file == INVALID_HANDLE_VALUE) {
        return -1;
    }
    // The offset travels with the request; the file position is not used.
    OVERLAPPED at {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD done = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(n, std::numeric_limits<DWORD>::max()));
    if (!ReadFile(file, buffer, wanted, &done, &at)) {
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return done;
}

#else

int openFile(const std::string& path, int flags)
{
    return ::open(path.c_str(), flags | O_CLOEXEC, 0666);
}

int64_t readFileAt(int fd, void* buffer, std::size_t n, uint64_t offset)
{
    return ::pread(fd, buffer, n, static_cast<off_t>(offset));
}

#endif

} // namespace vl::probe
