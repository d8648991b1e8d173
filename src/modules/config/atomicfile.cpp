#include "atomicfile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl::config {

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : descriptor(fd)
    {
    }
    ~FileDescriptor()
    {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return descriptor; }
    // Closes now, reporting the error a deferred write may surface here.
    bool close()
    {
        const int fd = descriptor;
        descriptor = -1;
        return ::close(fd) == 0;
    }

private:
    int descriptor;
};

bool writeAll(int fd, std::string_view content)
{
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new file beside path under a name no one else uses; the mode
// is that of an ordinary new file, so the umask applies.
int createTemporary(const std::string& path, std::string& name)
{
    static std::atomic<unsigned> counter { 0 };
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = dir + "." + base + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view content)
{
    if (path.empty() || path.back() == '/') {
        return false;
    }
    struct stat old
    {
    };
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        return false;
    }
    std::string temporary;
    FileDescriptor fd(createTemporary(path, temporary));
    if (fd.get() < 0) {
        return false;
    }
    bool ok = writeAll(fd.get(), content);
    if (ok && exists) {
        ok = ::fchmod(fd.get(), old.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; the new content is in place either way.
    FileDescriptor dir(::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return true;
}

bool readSmallFile(const std::string& path, size_t maxSize, std::string& content)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st
    {
    };
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0
        || static_cast<uint64_t>(st.st_size) > maxSize) {
        return false;
    }
    content.assign(static_cast<size_t>(st.st_size), '\0');
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::pread(fd.get(), content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace vl::config
