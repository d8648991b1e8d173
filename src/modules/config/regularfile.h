#ifndef VL_CONFIG_REGULARFILE_H
#define VL_CONFIG_REGULARFILE_H

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace vl::config {

// A file opened for reading only if it is a regular file. Opening never
// blocks: the path is opened without waiting for a FIFO's writer or a
// device, and the open descriptor, not the name, is then checked, so the
// file that was checked is the file that is read.
class RegularFile
{
public:
    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // A regular file, open for reading.
    bool isOpen() const { return fd >= 0; }
    // Nothing exists under the name (a dangling link counts as nothing).
    bool isMissing() const { return missing; }

    int descriptor() const { return fd; }
    uint64_t size() const { return fileSize; }
    mode_t permissions() const { return mode; }

    // Up to maxSize bytes from the start of the file.
    bool readHead(size_t maxSize, std::string& bytes) const;
    // The whole file; false when it is larger than maxSize or a read fails.
    bool readAll(size_t maxSize, std::string& bytes) const;

private:
    bool read(size_t count, std::string& bytes) const;

    int fd = -1;
    bool missing = false;
    uint64_t fileSize = 0;
    mode_t mode = 0;
};

} // namespace vl::config

#endif
