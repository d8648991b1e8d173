#include "elementarystreamreader.h"

#include "audioscanner.h"

#include <algorithm>
#include <vector>

namespace vl::probe {

uint64_t skipId3v2Tags(BoundedReader& reader, uint64_t offset)
{
    // Tags may be stacked; a handful is plenty, and bounds the loop.
    for (int tag = 0; tag < 8; ++tag) {
        const uint8_t* p = reader.peek(offset, 10);
        if (!p || p[0] != 'I' || p[1] != 'D' || p[2] != '3' || p[3] == 0xff || p[4] == 0xff) {
            break;
        }
        if ((p[6] | p[7] | p[8] | p[9]) & 0x80) {
            break; // not a synchsafe size: not a tag
        }
        const uint64_t body = (uint64_t(p[6]) << 21) | (uint64_t(p[7]) << 14) | (uint64_t(p[8]) << 7) | p[9];
        const bool footer = (p[5] & 0x10) != 0;
        offset += 10 + body + (footer ? 10 : 0);
    }
    return offset;
}

ProbeResult readElementaryStream(BoundedReader& reader, uint64_t offset, uint64_t searchLimit)
{
    ProbeResult result;
    const uint64_t start = skipId3v2Tags(reader, offset);
    if (start >= reader.size()) {
        return result;
    }
    std::vector<uint8_t> data;
    size_t window = 16 * 1024;
    size_t from = 0; // where the next scan starts: nothing confirms before it
    for (;;) {
        if (!reader.append(start + data.size(), window - data.size(), data)) {
            result.status = reader.failed() ? Status::ReadFailed : Status::NoAudio;
            return result;
        }
        const bool complete = start + data.size() >= reader.size();
        const bool atLimit = data.size() >= searchLimit;
        const AudioScan scan = scanMpegAudio(data.data(), data.size(), complete, from);
        from = scan.resume;
        const bool usable = scan.status == Status::Ok;
        if (scan.status != Status::NoAudio && (!usable || scan.settled || complete || atLimit)) {
            result.status = scan.status;
            result.audio = scan.params;
            result.audio.audioOffset = static_cast<int64_t>(start + scan.offset);
            return result;
        }
        if (complete || atLimit) {
            return result;
        }
        // A stream whose first frames run past the data read: read as far as
        // the frames the mode is taken from reach, at their length so far.
        size_t wanted = window * 4;
        if (usable) {
            const size_t perFrame = (scan.chainEnd - scan.offset) / static_cast<size_t>(scan.frames) + 1;
            wanted = std::max(data.size() + 1, scan.offset + modeFrames * perFrame + 4);
        }
        window = static_cast<size_t>(std::min<uint64_t>(wanted, searchLimit));
    }
}

} // namespace vl::probe
