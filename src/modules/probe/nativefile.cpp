#include "nativefile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>

#ifdef _WIN32
#include <io.h>
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
    const bool writing = (flags & (O_WRONLY | O_RDWR)) != 0;
    const DWORD creation = (flags & O_CREAT) ? ((flags & O_EXCL) ? CREATE_NEW : OPEN_ALWAYS) : OPEN_EXISTING;
    // Shared for deletion too, so that a file being read can be replaced by
    // a rename, as on POSIX; handles are not inherited without attributes.
    const HANDLE file = CreateFileW(wide.c_str(), writing ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            errno = ENOENT;
            break;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            errno = EEXIST;
            break;
        default:
            errno = EACCES; // a directory, or no right to open it
        }
        return -1;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), (writing ? _O_RDWR : _O_RDONLY) | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
    }
    return fd;
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
    return ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
}

int64_t readFileAt(int fd, void* buffer, std::size_t n, uint64_t offset)
{
    return ::pread(fd, buffer, n, static_cast<off_t>(offset));
}

#endif

} // namespace vl::probe
