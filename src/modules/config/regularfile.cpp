#include "regularfile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <probe/nativefile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl::config {

RegularFile::RegularFile(const std::string& path)
{
    // Opening never blocks, not even on a FIFO without a writer.
    const int opened = probe::openFile(path, O_RDONLY);
    if (opened < 0) {
        missing = errno == ENOENT;
        return;
    }
    struct stat st
    {
    };
    if (::fstat(opened, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(opened);
        return;
    }
    fd = opened;
    fileSize = static_cast<uint64_t>(st.st_size);
    mode = st.st_mode & 07777;
}

RegularFile::~RegularFile()
{
    if (fd >= 0) {
        ::close(fd);
    }
}

bool RegularFile::readHead(size_t maxSize, std::string& bytes) const
{
    return read(static_cast<size_t>(std::min<uint64_t>(maxSize, fileSize)), bytes);
}

bool RegularFile::readAll(size_t maxSize, std::string& bytes) const
{
    return fileSize <= maxSize && read(static_cast<size_t>(fileSize), bytes);
}

// Reads the first count bytes; a file that shrank meanwhile makes it fail.
bool RegularFile::read(size_t count, std::string& bytes) const
{
    if (fd < 0) {
        return false;
    }
    bytes.assign(count, '\0');
    size_t done = 0;
    while (done < count) {
        const int64_t n = probe::readFileAt(fd, bytes.data() + done, count - done, done);
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
