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
    // Scanning is cheap but not free: look again only every few KiB.
    constexpr size_t checkStep = 2048;
    if (!settled && payload.size() >= checkedSize + checkStep) {
        checkedSize = payload.size();
        const AudioScan s = scan(false);
        settled = (s.status == Status::Ok && s.frames >= modeFrames)
            || (s.status != Status::Ok && s.status != Status::NoAudio);
    }
    return settled || payload.size() >= enoughBytes;
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
    return scanMpegAudio(payload.data(), payload.size(), complete);
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
