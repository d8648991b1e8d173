#include "audioscanner.h"

namespace vl::probe {

namespace {

constexpr int minFreeFormatFrame = 16;
constexpr int maxFreeFormatFrame = 4096;

struct Chain
{
    int frames = 0; // consecutive headers of one stream, the first included
    size_t end = 0; // offset just past the last counted frame
    bool joint = false; // any counted frame in joint stereo
};

Chain followChain(const uint8_t* data, size_t size, size_t pos, const MpegAudioHeader& first, int maxFrames)
{
    Chain chain;
    MpegAudioHeader h = first;
    size_t at = pos;
    while (chain.frames < maxFrames) {
        const int len = h.frameLength();
        if (len <= 4) {
            break;
        }
        chain.frames++;
        chain.joint = chain.joint || h.mode == 1;
        chain.end = at + static_cast<size_t>(len);
        at = chain.end;
        MpegAudioHeader next;
        if (at + 4 > size || !parseMpegAudioHeader(data + at, next) || !sameMpegAudioStream(first, next)) {
            break;
        }
        h = next;
    }
    return chain;
}

// A free-format stream has no frame length in its header: confirm it by the
// same header recurring at a steady distance (plus the padding slot).
bool isFreeFormatStream(const uint8_t* data, size_t size, size_t pos, const MpegAudioHeader& first)
{
    const size_t slot = first.layer == 1 ? 4 : 1;
    auto sameHeaderAt = [&](size_t at) {
        return at + 4 <= size && data[at] == data[pos] && data[at + 1] == data[pos + 1]
            && (data[at + 2] & 0xfc) == (data[pos + 2] & 0xfc);
    };
    for (size_t d = minFreeFormatFrame; d <= maxFreeFormatFrame && pos + d + 4 <= size; ++d) {
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
                break;
            }
            ++found;
        }
        if (found >= confirmFrames) {
            return true;
        }
    }
    return false;
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

AudioScan scanMpegAudio(const uint8_t* data, size_t size, bool complete)
{
    AudioScan scan;
    for (size_t pos = 0; pos + 4 <= size; ++pos) {
        if (data[pos] != 0xff) {
            continue;
        }
        MpegAudioHeader h;
        if (!parseMpegAudioHeader(data + pos, h)) {
            continue;
        }
        if (h.bitrateIndex == 0) {
            if (isFreeFormatStream(data, size, pos, h)) {
                scan.status = Status::FreeFormat;
                scan.offset = pos;
                return scan;
            }
            continue;
        }
        const Chain chain = followChain(data, size, pos, h, modeFrames);
        const bool confirmed = chain.frames >= confirmFrames || (complete && chain.frames >= 2 && chain.end == size);
        if (!confirmed) {
            continue;
        }
        scan.offset = pos;
        scan.frames = chain.frames;
        scan.status = classifyMpegAudioHeader(h);
        if (scan.status == Status::Ok) {
            scan.params = audioParamsFromHeader(h, chain.joint);
        }
        return scan;
    }
    return scan;
}

} // namespace vl::probe
