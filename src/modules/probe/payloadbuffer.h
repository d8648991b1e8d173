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
    // modeFrames frames at the highest frame length.
    static constexpr size_t enoughBytes = modeFrames * maxFrameLength + 2048;

    // A private stream (PES stream id 0xBD) may carry anything: it holds MPEG
    // audio only when frames of a usable Layer I or II stream chain from
    // within the first frame length of its payload.
    explicit PayloadBuffer(bool isPrivate = false)
        : privateStream(isPrivate)
    {
    }

    void append(const uint8_t* data, size_t n, uint64_t fileOffset);
    size_t size() const { return payload.size(); }
    // True once more payload cannot change the result: the byte limit is
    // reached, or a stream is confirmed and its mode known, or a confirmed
    // stream is ruled out, or a private stream has shown it holds no audio.
    bool enough();
    // enough(), and the payload holds a confirmed stream (usable or not).
    bool holdsStream() { return enough() && found; }
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
    bool privateStream;
    size_t checkedSize = 0;
    size_t scanFrom = 0; // no stream starts before this offset
    bool settled = false;
    bool found = false;
};

// The first stream, in the given order, that holds a usable Layer I/II
// stream; else the status of the first stream that was confirmed but cannot
// be used; else NoAudio.
ProbeResult firstUsableStream(const std::vector<const PayloadBuffer*>& streams, bool complete);

} // namespace vl::probe

#endif
