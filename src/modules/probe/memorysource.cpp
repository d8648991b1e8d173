#include "memorysource.h"

#include <cstring>

namespace vl::probe {

int64_t MemorySource::readAt(uint64_t offset, uint8_t* dst, size_t n)
{
    if (offset >= m_size) {
        return 0;
    }
    if (n > m_size - offset) {
        n = static_cast<size_t>(m_size - offset);
    }
    if (n > 0) {
        std::memcpy(dst, m_data + offset, n);
    }
    countRead(n);
    return static_cast<int64_t>(n);
}

} // namespace vl::probe
