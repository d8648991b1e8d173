#include "payloadbuffer.h"

#include <algorithm>

namespace vl::probe {

void PayloadBuffer::append(const uint8_t* data, size_t n, uint64_t fileOffset)
{
    if (n == 0) {
        return;
    }
    m_pieces.push_back({ m_data.size(), fileOffset });
    m_data.insert(m_data.end(), data, data + n);
}

bool PayloadBuffer::enough()
{
    // Scanning is cheap but not free: look again only every few KiB.
    constexpr size_t kCheckStep = 2048;
    if (!m_settled && m_data.size() >= m_checkedSize + kCheckStep) {
        m_checkedSize = m_data.size();
        const AudioScan s = scan(false);
        m_settled = (s.status == Status::Ok && s.frames >= kModeFrames)
            || (s.status != Status::Ok && s.status != Status::NoAudio);
    }
    return m_settled || m_data.size() >= kEnough;
}

int64_t PayloadBuffer::fileOffsetOf(size_t pos) const
{
    if (pos >= m_data.size()) {
        return -1;
    }
    const auto after = std::upper_bound(
        m_pieces.begin(), m_pieces.end(), pos, [](size_t p, const Piece& piece) { return p < piece.start; });
    const Piece& piece = *(after - 1);
    return static_cast<int64_t>(piece.fileOffset + (pos - piece.start));
}

AudioScan PayloadBuffer::scan(bool complete) const
{
    return scanMpegAudio(m_data.data(), m_data.size(), complete);
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
