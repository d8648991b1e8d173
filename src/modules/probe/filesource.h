#ifndef VL_PROBE_FILESOURCE_H
#define VL_PROBE_FILESOURCE_H

#include "bytesource.h"

namespace vl::probe {

// A regular file opened read-only; reads go through pread, so no shared
// file position is involved and nothing beyond the requested range is read.
class FileSource : public ByteSource
{
public:
    // Null when the path cannot be opened or is not a regular file.
    static std::unique_ptr<FileSource> open(const std::string& path);
    ~FileSource() override;

    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    uint64_t size() const override { return fileSize; }
    int64_t readAt(uint64_t offset, uint8_t* dst, size_t n) override;
    std::unique_ptr<ByteSource> openSibling(const std::string& name) const override;
    std::string fileName() const override;

private:
    FileSource(int fd, uint64_t size, std::string path);

    int descriptor;
    uint64_t fileSize;
    std::string filePath;
};

} // namespace vl::probe

#endif
