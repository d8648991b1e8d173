/*
 * Random-access byte sources for the probe: a file read with pread at
 * explicit offsets, or a block of memory. Every byte taken from storage is
 * counted, so callers can show that a probe stays bounded.
 */
#ifndef VL_PROBE_BYTESOURCE_H
#define VL_PROBE_BYTESOURCE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vl::probe {

class ByteSource
{
public:
    virtual ~ByteSource() = default;

    virtual uint64_t size() const = 0;
    // Copies up to n bytes from offset into dst. Returns the count copied
    // (short only at the end of the data) or -1 on an I/O error.
    virtual int64_t readAt(uint64_t offset, uint8_t* dst, size_t n) = 0;
    // Opens a file in the same directory, for formats that span several
    // files. Null when there is no such file or the source is not a file.
    virtual std::unique_ptr<ByteSource> openSibling(const std::string& /*name*/) const { return nullptr; }
    // Name of the underlying file without its directory; empty for memory.
    virtual std::string fileName() const { return {}; }

    uint64_t bytesRead() const { return countedBytes; }

protected:
    void countRead(uint64_t n) { countedBytes += n; }

private:
    uint64_t countedBytes = 0;
};

} // namespace vl::probe

#endif
