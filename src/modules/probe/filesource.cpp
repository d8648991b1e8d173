#include "filesource.h"

#include "nativefile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl::probe {

std::unique_ptr<FileSource> FileSource::open(const std::string& path)
{
    const int fd = openFile(path, O_RDONLY);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(fd, static_cast<uint64_t>(st.st_size), path));
}

FileSource::FileSource(int fd, uint64_t size, std::string path)
    : descriptor(fd)
    , fileSize(size)
    , filePath(std::move(path))
{
}

FileSource::~FileSource()
{
    ::close(descriptor);
}

int64_t FileSource::readAt(uint64_t offset, uint8_t* dst, size_t n)
{
    if (offset >= fileSize) {
        return 0;
    }
    if (n > fileSize - offset) {
        n = static_cast<size_t>(fileSize - offset);
    }
    size_t done = 0;
    while (done < n) {
        const int64_t r = readFileAt(descriptor, dst + done, n - done, offset + done);
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (r == 0) {
            break; // the file shrank while we read it
        }
        done += static_cast<size_t>(r);
    }
    countRead(done);
    return static_cast<int64_t>(done);
}

std::unique_ptr<ByteSource> FileSource::openSibling(const std::string& name) const
{
    if (name.empty() || name.find_first_of(pathSeparators) != std::string::npos) {
        return nullptr;
    }
    const size_t slash = filePath.find_last_of(pathSeparators);
    const std::string dir = slash == std::string::npos ? std::string() : filePath.substr(0, slash + 1);
    return open(dir + name);
}

std::string FileSource::fileName() const
{
    const size_t slash = filePath.find_last_of(pathSeparators);
    return slash == std::string::npos ? filePath : filePath.substr(slash + 1);
}

} // namespace vl::probe
