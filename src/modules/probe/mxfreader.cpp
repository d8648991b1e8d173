#include "mxfreader.h"

#include "payloadbuffer.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace vl::probe {

namespace {

constexpr uint8_t smpteLabel[4] = { 0x06, 0x0e, 0x2b, 0x34 };
// Partition pack key up to the partition kind (header, body, footer).
constexpr uint8_t partitionPrefix[13]
    = { 0x06, 0x0e, 0x2b, 0x34, 0x02, 0x05, 0x01, 0x01, 0x0d, 0x01, 0x02, 0x01, 0x01 };
// Essence element key up to the item type.
constexpr uint8_t essencePrefix[12] = { 0x06, 0x0e, 0x2b, 0x34, 0x01, 0x02, 0x01, 0x01, 0x0d, 0x01, 0x03, 0x01 };
constexpr uint8_t genericContainerSound = 0x16;
constexpr uint8_t contentPackageSound = 0x06;
constexpr size_t maxRunIn = 65536;

bool isSoundElement(const uint8_t* key)
{
    // Byte 7 is the registry version, which differs between writers.
    return std::memcmp(key, essencePrefix, 7) == 0 && std::memcmp(key + 8, essencePrefix + 8, 4) == 0
        && (key[12] == genericContainerSound || key[12] == contentPackageSound);
}

// BER length at p: short form, or long form with up to eight bytes. Returns
// the bytes taken by the length field, or 0 when it is malformed.
size_t berLength(const uint8_t* p, size_t n, uint64_t& length)
{
    if (n < 1) {
        return 0;
    }
    if (p[0] < 0x80) {
        length = p[0];
        return 1;
    }
    const size_t bytes = p[0] & 0x7f;
    if (bytes == 0 || bytes > 8 || bytes + 1 > n) {
        return 0;
    }
    length = 0;
    for (size_t i = 1; i <= bytes; ++i) {
        length = (length << 8) | p[i];
    }
    return bytes + 1;
}

} // namespace

int64_t findMxfHeaderPartition(const uint8_t* head, size_t n)
{
    const size_t limit = std::min(n, maxRunIn);
    for (size_t at = 0; at + 16 <= limit; ++at) {
        const void* key = std::memchr(head + at, partitionPrefix[0], limit - 16 - at + 1);
        if (!key) {
            break;
        }
        at = static_cast<size_t>(static_cast<const uint8_t*>(key) - head);
        if (std::memcmp(head + at, partitionPrefix, sizeof partitionPrefix) == 0 && head[at + 13] == 0x02) {
            return static_cast<int64_t>(at);
        }
    }
    return -1;
}

ProbeResult readMxf(BoundedReader& reader, uint64_t offset)
{
    // Small reads: the picture elements between the sound elements are
    // skipped, not read.
    reader.setReadAhead(16 * 1024);
    std::map<uint32_t, PayloadBuffer> tracks;
    std::vector<uint32_t> order;
    const uint64_t size = reader.size();
    uint64_t pos = offset;
    bool stopped = false;
    bool malformed = false;

    while (pos + 17 <= size) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(25, size - pos));
        const uint8_t* p = reader.peek(pos, n);
        if (!p) {
            stopped = true;
            break;
        }
        uint64_t length = 0;
        const size_t lengthBytes = std::memcmp(p, smpteLabel, 4) == 0 ? berLength(p + 16, n - 16, length) : 0;
        if (lengthBytes == 0) {
            malformed = true;
            break;
        }
        const uint64_t value = pos + 16 + lengthBytes;
        if (isSoundElement(p)) {
            const uint32_t track = be32(p + 12);
            PayloadBuffer& buffer = tracks[track];
            if (buffer.size() == 0) {
                order.push_back(track);
            }
            if (!buffer.enough() && value < size) {
                const size_t take = static_cast<size_t>(
                    std::min<uint64_t>({ length, size - value, PayloadBuffer::enoughBytes - buffer.size() }));
                const uint8_t* data = reader.peek(value, take);
                if (!data) {
                    stopped = true;
                    break;
                }
                buffer.append(data, take, value);
            }
            if (tracks[order.front()].enough()) {
                stopped = true;
                break;
            }
        }
        if (length > size - std::min(size, value)) {
            break; // the last packet was cut short
        }
        pos = value + length;
    }

    std::vector<const PayloadBuffer*> candidates;
    for (const uint32_t track : order) {
        candidates.push_back(&tracks[track]);
    }
    ProbeResult result = firstUsableStream(candidates, !stopped);
    if (result.status == Status::NoAudio) {
        if (reader.failed()) {
            result.status = Status::ReadFailed;
        } else if (malformed && candidates.empty()) {
            result.status = Status::Malformed;
        }
    }
    return result;
}

} // namespace vl::probe
