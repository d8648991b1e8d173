#ifndef VL_PROBE_BOUNDEDREADER_H
#define VL_PROBE_BOUNDEDREADER_H

#include "bytesource.h"

#include <vector>

namespace vl::probe {

// Reads a source at explicit offsets through a small window, and refuses to
// read more than a fixed budget in total. The container readers use it so
// that a probe costs the same for a 4 GiB file as for a 4 KiB one.
class BoundedReader
{
public:
    BoundedReader(ByteSource& source, uint64_t budget);

    uint64_t size() const { return inputSize; }
    ByteSource& source() const { return input; }

    // Bytes read ahead of a request, so that small neighbouring reads are
    // served from the window.
    void setReadAhead(size_t bytes) { readAhead = bytes; }

    // Pointer to n bytes at offset, valid until the next call. Null when
    // fewer than n bytes exist there, on an I/O error or when the budget is
    // spent.
    const uint8_t* peek(uint64_t offset, size_t n);
    // Appends up to n bytes at offset to out, fewer at the end of the data.
    // False on an I/O error or when the budget is spent.
    bool append(uint64_t offset, size_t n, std::vector<uint8_t>& out);

    bool failed() const { return readFailed; }
    bool exhausted() const { return budgetExhausted; }
    uint64_t spent() const { return spentBytes; }

private:
    size_t allowance(size_t wanted, size_t needed);

    ByteSource& input;
    uint64_t inputSize;
    uint64_t budgetBytes;
    uint64_t spentBytes = 0;
    size_t readAhead = 16 * 1024;
    std::vector<uint8_t> window;
    uint64_t windowStart = 0;
    bool readFailed = false;
    bool budgetExhausted = false;
};

// Big-endian and little-endian field access for the container parsers.
inline uint16_t be16(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
inline uint32_t be24(const uint8_t* p)
{
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}
inline uint32_t be32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline uint64_t be64(const uint8_t* p)
{
    return (uint64_t(be32(p)) << 32) | be32(p + 4);
}
inline uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

} // namespace vl::probe

#endif
