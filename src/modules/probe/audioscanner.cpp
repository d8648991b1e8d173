#include "audioscanner.h"

#include <algorithm>
#include <cstring>

namespace vl::probe {

namespace {

constexpr int minFreeFormatFrame = 16;
constexpr int maxFreeFormatFrame = 4096;
// Places tried as a free-format stream's second frame. In a real stream the
// header recurs only where the next frame starts; data in which the header's
// first bytes recur everywhere (runs of 0xFF) is not such a stream, and must
// not cost a search of the whole frame length from every position.
constexpr int maxFreeFormatTries = 32;

struct Chain
{
    int frames = 0; // consecutive headers of one stream, the first included
    size_t end = 0; // offset just past the last counted frame
    bool joint = false; // any counted frame in joint stereo
    bool cut = false; // the data ended before the chain did
};

// A stream that starts in mono or dual channel mode never turns joint stereo;
// one that has shown joint stereo stays joint. Either needs no more frames
// than those that confirm it.
bool modeKnown(const Chain& chain, const MpegAudioHeader& first)
{
    return chain.frames >= confirmFrames && (chain.joint || first.mode == 2 || first.mode == 3);
}

Chain followChain(const uint8_t* data, size_t size, size_t pos, const MpegAudioHeader& first)
{
    Chain chain;
    MpegAudioHeader h = first;
    size_t at = pos;
    while (chain.frames < modeFrames && !modeKnown(chain, first)) {
        const int len = h.frameLength();
        if (len <= 4) {
            break;
        }
        chain.frames++;
        chain.joint = chain.joint || h.mode == 1;
        chain.end = at + static_cast<size_t>(len);
        at = chain.end;
        if (at + 4 > size) {
            chain.cut = true;
            break;
        }
        MpegAudioHeader next;
        if (!parseMpegAudioHeader(data + at, next) || !sameMpegAudioStream(first, next)) {
            break;
        }
        h = next;
    }
    return chain;
}

enum class FreeFormat { Confirmed, Rejected, Undecided };

// A free-format stream has no frame length in its header: confirm it by the
// same header recurring at a steady distance (plus the padding slot). Only
// the places where the header's first two bytes recur are tried.
FreeFormat freeFormatStream(const uint8_t* data, size_t size, size_t pos, const MpegAudioHeader& first)
{
    const size_t slot = first.layer == 1 ? 4 : 1;
    auto sameHeaderAt = [&](size_t at) {
        return at + 4 <= size && data[at] == data[pos] && data[at + 1] == data[pos + 1]
            && (data[at + 2] & 0xfc) == (data[pos + 2] & 0xfc);
    };
    // Longer data may hold what was looked for past its end: a second header
    // farther than the data reaches, or the next one of a chain.
    bool cut = pos + maxFreeFormatFrame + 4 > size;
    const size_t last = std::min(size >= 4 ? size - 4 : 0, pos + maxFreeFormatFrame);
    int tries = 0;
    for (size_t d = minFreeFormatFrame; pos + d <= last; ++d) {
        const void* next = std::memchr(data + pos + d, 0xff, last - (pos + d) + 1);
        if (!next) {
            break;
        }
        d = static_cast<size_t>(static_cast<const uint8_t*>(next) - data) - pos;
        if (data[pos + d + 1] != data[pos + 1]) {
            if (data[pos + d + 1] == 0xff) {
                // Through a run of 0xFF to its last byte, the only one of the
                // run that another second byte can follow.
                while (pos + d < last && data[pos + d + 2] == 0xff) {
                    ++d;
                }
            }
            continue;
        }
        if (++tries > maxFreeFormatTries) {
            return FreeFormat::Rejected;
        }
        if (!sameHeaderAt(pos + d)) {
            continue;
        }
        size_t at = pos + d;
        int found = 2;
        while (found < confirmFrames) {
            if (sameHeaderAt(at + d)) {
                at += d;
            } else if (sameHeaderAt(at + d + slot)) {
                at += d + slot;
            } else {
                cut = cut || at + d + slot + 4 > size;
                break;
            }
            ++found;
        }
        if (found >= confirmFrames) {
            return FreeFormat::Confirmed;
        }
    }
    return cut ? FreeFormat::Undecided : FreeFormat::Rejected;
}

} // namespace

Status classifyMpegAudioHeader(const MpegAudioHeader& h)
{
    if (h.layer == 3) {
        return Status::UnsupportedLayer;
    }
    if (h.bitrateIndex == 0) {
        return Status::FreeFormat;
    }
    if (h.version == 25 || h.emphasis == 2) {
        return Status::ReservedValue;
    }
    return Status::Ok;
}

AudioParams audioParamsFromHeader(const MpegAudioHeader& h, bool joint)
{
    AudioParams p;
    p.fields = FieldAll;
    p.mpegVersion = h.version == 1 ? 1 : 2;
    p.layer = h.layer;
    p.mode = joint ? 1 : h.mode;
    p.bitrateIndex = h.bitrateIndex;
    p.bitrateKbps = mpegAudioBitrateKbps(p.mpegVersion, h.layer, h.bitrateIndex);
    p.sampleFrequency = h.sampleFrequency;
    p.emphasis = h.emphasis;
    p.privateBit = h.privateBit;
    p.copyrightBit = h.copyright;
    p.originalBit = h.original;
    p.errorProtection = h.crc;
    p.channels = h.mode == 3 ? 1 : 2;
    return p;
}

AudioScan scanMpegAudio(const uint8_t* data, size_t size, bool complete, size_t from, size_t lastStart)
{
    AudioScan scan;
    const size_t end = std::min(size >= 4 ? size - 3 : 0, lastStart == ~size_t(0) ? lastStart : lastStart + 1);
    size_t undecided = end;
    for (size_t pos = from; pos < end; ++pos) {
        const void* sync = std::memchr(data + pos, 0xff, end - pos);
        if (!sync) {
            break;
        }
        pos = static_cast<size_t>(static_cast<const uint8_t*>(sync) - data);
        if (data[pos + 1] == 0xff && data[pos + 2] == 0xff) {
            // A run of 0xFF (stuffing): only its last two bytes may start a
            // header, since bitrate index 15 is not one.
            size_t runEnd = pos + 3;
            while (runEnd < size && data[runEnd] == 0xff) {
                ++runEnd;
            }
            pos = runEnd - 3;
            continue;
        }
        MpegAudioHeader h;
        if (!parseMpegAudioHeader(data + pos, h)) {
            continue;
        }
        if (h.bitrateIndex == 0) {
            const FreeFormat free = freeFormatStream(data, size, pos, h);
            if (free == FreeFormat::Confirmed) {
                scan.status = Status::FreeFormat;
                scan.offset = scan.resume = pos;
                scan.settled = true;
                return scan;
            }
            undecided = free == FreeFormat::Undecided ? std::min(undecided, pos) : undecided;
            continue;
        }
        const Chain chain = followChain(data, size, pos, h);
        const bool confirmed = chain.frames >= confirmFrames || (complete && chain.frames >= 2 && chain.end == size);
        if (!confirmed) {
            undecided = chain.cut ? std::min(undecided, pos) : undecided;
            continue;
        }
        scan.offset = scan.resume = pos;
        scan.frames = chain.frames;
        scan.chainEnd = chain.end;
        scan.settled = !chain.cut || chain.frames >= modeFrames || modeKnown(chain, h);
        scan.status = classifyMpegAudioHeader(h);
        if (scan.status == Status::Ok) {
            scan.params = audioParamsFromHeader(h, chain.joint);
        }
        return scan;
    }
    scan.resume = std::max(from, undecided);
    return scan;
}

} // namespace vl::probe
