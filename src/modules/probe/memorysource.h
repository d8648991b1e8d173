#ifndef VL_PROBE_MEMORYSOURCE_H
#define VL_PROBE_MEMORYSOURCE_H

#include "bytesource.h"

namespace vl::probe {

// Bytes in memory, owned by the caller, read like a file.
class MemorySource : public ByteSource
{
public:
    MemorySource(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    uint64_t size() const override { return m_size; }
    int64_t readAt(uint64_t offset, uint8_t* dst, size_t n) override;

private:
    const uint8_t* m_data;
    size_t m_size;
};

} // namespace vl::probe

#endif
