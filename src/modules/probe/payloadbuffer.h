#ifndef VL_PROBE_PAYLOADBUFFER_H
#define VL_PROBE_PAYLOADBUFFER_H

#include "audioscanner.h"

#include <vector>

namespace vl::probe {

// Payload bytes of one packetised audio stream (PES packets, MXF essence
// elements), joined in order, with the file offset at which each piece was
// found so that a frame position maps back to the file.
class PayloadBuffer
{
public:
    // Enough payload to confirm a stream and look at the mode of its first
    // frames at the highest Layer II frame length.
    static constexpr size_t enoughBytes = 28 * 1024;

    void append(const uint8_t* data, size_t n, uint64_t fileOffset);
    size_t size() const { return payload.size(); }
    // True once more payload cannot change the result: the byte limit is
    // reached, or a stream is confirmed with all the frames the mode is
    // taken from, or a confirmed stream is ruled out.
    bool enough();
    // File offset of a byte of the joined payload; -1 when out of range.
    int64_t fileOffsetOf(size_t pos) const;
    AudioScan scan(bool complete) const;

private:
    struct Piece
    {
        size_t start;
        uint64_t fileOffset;
    };
    std::vector<uint8_t> payload;
    std::vector<Piece> pieces;
    size_t checkedSize = 0;
    bool settled = false;
};

// The first stream, in the given order, that holds a usable Layer I/II
// stream; else the status of the first stream that was confirmed but cannot
// be used; else NoAudio.
ProbeResult firstUsableStream(const std::vector<const PayloadBuffer*>& streams, bool complete);

} // namespace vl::probe

#endif
