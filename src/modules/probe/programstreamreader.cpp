#include "programstreamreader.h"

#include "payloadbuffer.h"
#include "pesheader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vl::probe {

namespace {

constexpr uint64_t notFound = ~uint64_t(0);
// A packet is at most this long (its length field has 16 bits), so a stream
// with no start code for longer has ended: a hole or other data follows.
constexpr uint64_t maxPacket = 6 + 65535;

// The next 00 00 01 start code prefix at or after offset, before limit.
uint64_t findStartCode(BoundedReader& reader, uint64_t offset, uint64_t limit)
{
    constexpr size_t chunk = 4096;
    while (offset + 4 <= reader.size() && offset < limit) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(chunk, reader.size() - offset));
        const uint8_t* p = reader.peek(offset, n);
        if (!p) {
            return notFound;
        }
        // Look for the prefix's last byte, the rare one, then at the two before it.
        for (size_t i = 2; i < n; ++i) {
            const void* one = std::memchr(p + i, 1, n - i);
            if (!one) {
                break;
            }
            i = static_cast<size_t>(static_cast<const uint8_t*>(one) - p);
            if (p[i - 2] == 0 && p[i - 1] == 0) {
                return offset + i - 2;
            }
        }
        offset += n - 2;
    }
    return notFound;
}

} // namespace

bool isPackHeader(const uint8_t* p, size_t n)
{
    if (n < 12 || p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] != 0xba) {
        return false;
    }
    if ((p[4] & 0xc4) == 0x44) {
        return n >= 14; // MPEG-2 with its marker bits
    }
    return (p[4] & 0xf1) == 0x21; // MPEG-1 with its marker bits
}

ProbeResult readProgramStream(BoundedReader& reader, uint64_t offset, int preferredId)
{
    if (!isMpegAudioStreamId(preferredId)) {
        preferredId = -1;
    }
    reader.setReadAhead(64 * 1024);
    std::array<PayloadBuffer, 32> streams;
    std::vector<int> order; // stream ids in order of appearance
    uint64_t pos = offset;
    const uint64_t size = reader.size();
    bool stopped = false;

    while (pos + 4 <= size) {
        const uint8_t* p = reader.peek(pos, 4);
        if (!p) {
            stopped = true;
            break;
        }
        if (p[0] != 0 || p[1] != 0 || p[2] != 1) {
            pos = findStartCode(reader, pos + 1, pos + maxPacket);
            if (pos == notFound) {
                stopped = reader.failed() || reader.exhausted();
                break;
            }
            continue;
        }
        const int code = p[3];
        if (code == 0xba) {
            const uint8_t* pack = reader.peek(pos, std::min<uint64_t>(14, size - pos));
            if (!pack || !isPackHeader(pack, std::min<uint64_t>(14, size - pos))) {
                pos += 4;
                continue;
            }
            pos += (pack[4] & 0xc0) == 0x40 ? 14 + (pack[13] & 7) : 12;
            continue;
        }
        if (code < 0xbb) {
            pos += 4; // end code, or a stray start code of an elementary stream
            continue;
        }
        const uint8_t* head = reader.peek(pos, std::min<uint64_t>(6, size - pos));
        if (!head || size - pos < 6) {
            break;
        }
        const uint64_t total = 6 + uint64_t(be16(head + 4));
        if (isMpegAudioStreamId(code) && !streams[code - 0xc0].enough()) {
            const size_t avail = static_cast<size_t>(std::min<uint64_t>(total, size - pos));
            const uint8_t* packet = reader.peek(pos, avail);
            if (!packet) {
                stopped = true;
                break;
            }
            const int payload = pesPayloadOffset(packet, avail);
            if (payload > 0) {
                PayloadBuffer& stream = streams[code - 0xc0];
                if (stream.size() == 0) {
                    order.push_back(code);
                }
                stream.append(packet + payload, avail - payload, pos + payload);
                // The preferred stream decides when to stop, else the first.
                const int lead = preferredId >= 0 ? preferredId : order.front();
                if (streams[lead - 0xc0].enough()) {
                    stopped = true;
                    break;
                }
            }
        }
        pos += total;
    }

    if (std::find(order.begin(), order.end(), preferredId) != order.end()) {
        order.erase(std::find(order.begin(), order.end(), preferredId));
        order.insert(order.begin(), preferredId);
    }
    std::vector<const PayloadBuffer*> candidates;
    for (const int id : order) {
        candidates.push_back(&streams[id - 0xc0]);
    }
    ProbeResult result = firstUsableStream(candidates, !stopped);
    if (result.status == Status::NoAudio && reader.failed()) {
        result.status = Status::ReadFailed;
    }
    return result;
}

} // namespace vl::probe
