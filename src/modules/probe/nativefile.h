#ifndef VL_PROBE_NATIVEFILE_H
#define VL_PROBE_NATIVEFILE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace vl::probe {

// File names reach the modules as UTF-8 on every platform. POSIX takes the
// bytes as they are; Windows needs its wide-character API for every name
// beyond ASCII, so these few calls hide the difference.

// The characters that end a directory name in a path.
#ifdef _WIN32
constexpr const char* pathSeparators = "/\\";
#else
constexpr const char* pathSeparators = "/";
#endif

// Opens path with the open(2) flags given (O_RDONLY, or O_WRONLY with
// O_CREAT and O_EXCL, mode 0666 before the umask), never inherited by a
// child process. Opening never blocks: a FIFO without a writer or a device
// opens at once (the caller checks what it opened), and a terminal never
// becomes the controlling one. On Windows the file is in binary mode and may
// be renamed, replaced or deleted while it is open, as on POSIX. Returns the
// descriptor, or -1 with errno set.
int openFile(const std::string& path, int flags);

// Reads up to n bytes at offset without using the descriptor's file
// position, like pread(2). Returns the count read, 0 at the end of the file,
// or -1.
int64_t readFileAt(int fd, void* buffer, std::size_t n, uint64_t offset);

#ifdef _WIN32
// The UTF-16 form of a UTF-8 name; false when the bytes are not UTF-8.
bool widePath(const std::string& path, std::wstring& wide);
#endif

} // namespace vl::probe

#endif
