#include "payloadbuffer.h"

#include <algorithm>

namespace vl::probe {

void PayloadBuffer::append(const uint8_t* data, size_t n, uint64_t fileOffset)
{
    if (n == 0) {
        return;
    }
    pieces.push_back({ payload.size(), fileOffset });
    payload.insert(payload.end(), data, data + n);
}

bool PayloadBuffer::enough()
{
    // Each look resumes where the last one could rule out any stream start,
    // so that the bytes are scanned about once however often this is asked.
    constexpr size_t checkStep = 2048;
    const bool full = payload.size() >= enoughBytes;
    if (!settled && (payload.size() >= checkedSize + checkStep || (full && checkedSize != payload.size()))) {
        checkedSize = payload.size();
        const AudioScan s = scan(false);
        scanFrom = s.resume;
        found = s.status != Status::NoAudio;
        settled = (s.status == Status::Ok && s.settled) || (found && s.status != Status::Ok)
            || (privateStream && !found && scanFrom > maxFrameLength);
    }
    return settled || full;
}

int64_t PayloadBuffer::fileOffsetOf(size_t pos) const
{
    if (pos >= payload.size()) {
        return -1;
    }
    const auto after = std::upper_bound(
        pieces.begin(), pieces.end(), pos, [](size_t p, const Piece& piece) { return p < piece.start; });
    const Piece& piece = *(after - 1);
    return static_cast<int64_t>(piece.fileOffset + (pos - piece.start));
}

AudioScan PayloadBuffer::scan(bool complete) const
{
    if (!privateStream) {
        return scanMpegAudio(payload.data(), payload.size(), complete, scanFrom);
    }
    // Four chained frames, never fewer, and only a usable stream: anything
    // else rules the whole payload out.
    AudioScan s = scanMpegAudio(payload.data(), payload.size(), false, scanFrom, maxFrameLength);
    if (s.status != Status::Ok && s.status != Status::NoAudio) {
        s = AudioScan {};
        s.resume = maxFrameLength + 1;
    }
    return s;
}

ProbeResult firstUsableStream(const std::vector<const PayloadBuffer*>& streams, bool complete)
{
    ProbeResult result;
    bool haveFailure = false;
    for (const PayloadBuffer* stream : streams) {
        const AudioScan scan = stream->scan(complete);
        if (scan.status == Status::Ok) {
            result.status = Status::Ok;
            result.audio = scan.params;
            result.audio.audioOffset = stream->fileOffsetOf(scan.offset);
            return result;
        }
        if (scan.status != Status::NoAudio && !haveFailure) {
            result.status = scan.status;
            haveFailure = true;
        }
    }
    return result;
}

} // namespace vl::probe
