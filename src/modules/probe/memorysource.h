#ifndef VL_PROBE_MEMORYSOURCE_H
#define VL_PROBE_MEMORYSOURCE_H

#include "bytesource.h"

namespace vl::probe {

// Bytes in memory, owned by the caller, read like a file.
class MemorySource : public ByteSource
{
public:
    MemorySource(const uint8_t* data, size_t size)
        : bytes(data)
        , byteCount(size)
    {
    }

    uint64_t size() const override { return byteCount; }
    int64_t readAt(uint64_t offset, uint8_t* dst, size_t n) override;

private:
    const uint8_t* bytes;
    size_t byteCount;
};

} // namespace vl::probe

#endif
