#include "pesheader.h"

namespace vl::probe {

int pesPayloadOffset(const uint8_t* p, size_t n)
{
    if (n < 9 || p[0] != 0 || p[1] != 0 || p[2] != 1) {
        return -1;
    }
    if ((p[6] & 0xc0) == 0x80) {
        const int offset = 9 + p[8];
        return static_cast<size_t>(offset) <= n ? offset : -1;
    }
    // MPEG-1: stuffing, then an optional buffer size, then the time stamps.
    size_t at = 6;
    for (int stuffing = 0; at < n && p[at] == 0xff; ++stuffing, ++at) {
        if (stuffing == 16) {
            return -1;
        }
    }
    if (at < n && (p[at] & 0xc0) == 0x40) {
        at += 2;
    }
    if (at >= n) {
        return -1;
    }
    switch (p[at] & 0xf0) {
    case 0x20:
        at += 5;
        break;
    case 0x30:
        at += 10;
        break;
    default:
        if (p[at] != 0x0f) {
            return -1;
        }
        at += 1;
    }
    return at <= n ? static_cast<int>(at) : -1;
}

} // namespace vl::probe
