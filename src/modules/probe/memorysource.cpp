#include "memorysource.h"

#include <cstring>

namespace vl::probe {

int64_t MemorySource::readAt(uint64_t offset, uint8_t* dst, size_t n)
{
    if (offset >= byteCount) {
        return 0;
    }
    if (n > byteCount - offset) {
        n = static_cast<size_t>(byteCount - offset);
    }
    if (n > 0) {
        std::memcpy(dst, bytes + offset, n);
    }
    countRead(n);
    return static_cast<int64_t>(n);
}

} // namespace vl::probe
