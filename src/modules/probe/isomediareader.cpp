#include "isomediareader.h"

#include "audioscanner.h"

#include <algorithm>
#include <vector>

namespace vl::probe {

namespace {

constexpr uint32_t fourcc(const char (&s)[5])
{
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) | (uint32_t(uint8_t(s[2])) << 8)
        | uint32_t(uint8_t(s[3]));
}

constexpr int maxChildren = 4096;
// The sample table entries kept: enough to place the frames the mode is
// taken from, one frame per sample.
constexpr size_t chunkOffsetsKept = modeFrames;
constexpr size_t chunkRunsKept = modeFrames;
constexpr uint32_t sampleSizesKept = modeFrames;

struct Box
{
    uint32_t type = 0;
    uint64_t start = 0; // of the header
    uint64_t payload = 0; // first byte after the header
    uint64_t end = 0; // one past the last byte
    bool truncated = false; // a top-level box that claims more than the file holds
};

// A run of chunks with the same number of samples, from the sample-to-chunk box.
struct ChunkRun
{
    uint32_t firstChunk; // counted from 1
    uint32_t samplesPerChunk;
};

struct Track
{
    bool mpegAudio = false;
    std::vector<uint64_t> chunkOffsets; // the first few
    std::vector<ChunkRun> chunkRuns; // the first few
    uint32_t sampleSize = 0; // common size, 0 when sizes vary
    uint32_t sampleCount = 0;
    std::vector<uint32_t> sampleSizes; // the first few, when sizes vary
};

class IsoMediaParser
{
public:
    explicit IsoMediaParser(BoundedReader& input)
        : reader(input)
    {
    }

    ProbeResult run();

private:
    // Reads the header of the box at offset inside [offset, end). False, with
    // malformed set, when its size does not fit.
    bool readBox(uint64_t offset, uint64_t end, bool topLevel, Box& box);
    template<typename Visit>
    bool forEachChild(uint64_t begin, uint64_t end, Visit visit);
    void parseMoov(const Box& moov);
    void parseTrak(const Box& trak, Track& track, int depth);
    void parseStsd(const Box& stsd, Track& track);
    bool mp4aIsMpegAudio(const Box& entry);
    int esdsObjectType(const Box& esds);
    void parseChunkOffsets(const Box& box, bool wide, Track& track);
    void parseStsc(const Box& box, Track& track);
    void parseStsz(const Box& box, Track& track);
    struct Walk
    {
        int frames = 0;
        bool joint = false;
    };
    Walk walkFrames(const Track& track, const MpegAudioHeader& head);
    void evaluate(const Track& track);

    BoundedReader& reader;
    bool malformed = false;
    ProbeResult result;
    bool haveResult = false; // a track gave Ok
    bool haveFailure = false; // a track gave a status other than Ok
};

bool IsoMediaParser::readBox(uint64_t offset, uint64_t end, bool topLevel, Box& box)
{
    if (offset + 8 > end) {
        malformed = true;
        return false;
    }
    const uint8_t* p = reader.peek(offset, 8);
    if (!p) {
        return false;
    }
    uint64_t size = be32(p);
    box.type = be32(p + 4);
    box.start = offset;
    box.payload = offset + 8;
    if (size == 1) {
        const uint8_t* large = reader.peek(offset + 8, 8);
        if (!large) {
            malformed = true;
            return false;
        }
        size = be64(large);
        box.payload += 8;
    } else if (size == 0) {
        size = end - offset; // the box extends to the end of its container
    }
    if (size < box.payload - offset || size > end - offset) {
        // A top-level box may run past a file that was cut short; anything
        // else claiming more than its container holds is lying.
        if (!topLevel || size < box.payload - offset) {
            malformed = true;
            return false;
        }
        box.end = end;
        box.truncated = true;
        return true;
    }
    box.end = offset + size;
    return true;
}

template<typename Visit>
bool IsoMediaParser::forEachChild(uint64_t begin, uint64_t end, Visit visit)
{
    uint64_t offset = begin;
    for (int i = 0; i < maxChildren && offset + 8 <= end; ++i) {
        Box child;
        if (!readBox(offset, end, false, child)) {
            return false;
        }
        if (!visit(child)) {
            return true;
        }
        offset = child.end;
    }
    return true;
}

int IsoMediaParser::esdsObjectType(const Box& esds)
{
    const size_t n = static_cast<size_t>(std::min<uint64_t>(esds.end - esds.payload, 256));
    const uint8_t* p = reader.peek(esds.payload, n);
    if (!p || n < 4) {
        return -1;
    }
    size_t at = 4; // version and flags
    // Descriptors: a tag, then a length of up to four 7-bit groups.
    auto readDescriptor = [&](int wantedTag, size_t& length) {
        if (at >= n || p[at] != wantedTag) {
            return false;
        }
        ++at;
        length = 0;
        for (int i = 0; i < 4 && at < n; ++i) {
            const uint8_t b = p[at++];
            length = (length << 7) | (b & 0x7f);
            if (!(b & 0x80)) {
                return true;
            }
        }
        return false;
    };
    size_t length = 0;
    if (!readDescriptor(0x03, length) || at + 3 > n) {
        return -1;
    }
    const uint8_t flags = p[at + 2];
    at += 3;
    if (flags & 0x80) {
        at += 2;
    }
    if ((flags & 0x40) && at < n) {
        at += 1 + p[at];
    }
    if (flags & 0x20) {
        at += 2;
    }
    if (!readDescriptor(0x04, length) || at >= n) {
        return -1;
    }
    return p[at];
}

bool IsoMediaParser::mp4aIsMpegAudio(const Box& entry)
{
    const uint8_t* p = reader.peek(entry.payload, std::min<uint64_t>(28, entry.end - entry.payload));
    if (!p || entry.end - entry.payload < 28) {
        return false;
    }
    // QuickTime sound description versions 1 and 2 carry extra fields.
    const int version = be16(p + 8);
    const uint64_t children = entry.payload + 28 + (version == 1 ? 16 : (version == 2 ? 36 : 0));
    int objectType = -1;
    auto visit = [&](const Box& child) {
        if (child.type == fourcc("esds")) {
            objectType = esdsObjectType(child);
            return false;
        }
        if (child.type == fourcc("wave")) {
            forEachChild(child.payload, child.end, [&](const Box& inner) {
                if (inner.type == fourcc("esds")) {
                    objectType = esdsObjectType(inner);
                    return false;
                }
                return true;
            });
            return objectType < 0;
        }
        return true;
    };
    if (children < entry.end) {
        forEachChild(children, entry.end, visit);
    }
    // 0x6B: ISO/IEC 11172-3 audio; 0x69: ISO/IEC 13818-3 audio.
    return objectType == 0x6b || objectType == 0x69;
}

void IsoMediaParser::parseStsd(const Box& stsd, Track& track)
{
    const uint8_t* p = reader.peek(stsd.payload, 8);
    if (!p || stsd.end - stsd.payload < 8 || be32(p + 4) == 0) {
        return;
    }
    Box entry;
    if (!readBox(stsd.payload + 8, stsd.end, false, entry)) {
        return;
    }
    if (entry.type == fourcc("mp4a")) {
        track.mpegAudio = mp4aIsMpegAudio(entry);
    } else {
        track.mpegAudio = entry.type == fourcc(".mp1") || entry.type == fourcc(".mp2") || entry.type == fourcc(".mp3")
            || entry.type == fourcc("mp3 ");
    }
}

void IsoMediaParser::parseChunkOffsets(const Box& box, bool wide, Track& track)
{
    const uint8_t* p = reader.peek(box.payload, 8);
    if (!p || box.end - box.payload < 8) {
        malformed = true;
        return;
    }
    const uint32_t count = be32(p + 4);
    const uint64_t width = wide ? 8 : 4;
    if (count > (box.end - box.payload - 8) / width) {
        malformed = true; // more entries than the box holds
        return;
    }
    const size_t kept = static_cast<size_t>(std::min<uint64_t>(count, chunkOffsetsKept));
    const uint8_t* entries = reader.peek(box.payload + 8, kept * width);
    if (!entries) {
        return;
    }
    track.chunkOffsets.clear();
    for (size_t i = 0; i < kept; ++i) {
        track.chunkOffsets.push_back(wide ? be64(entries + i * 8) : be32(entries + i * 4));
    }
}

void IsoMediaParser::parseStsc(const Box& box, Track& track)
{
    const uint8_t* p = reader.peek(box.payload, std::min<uint64_t>(8, box.end - box.payload));
    if (!p || box.end - box.payload < 8) {
        return;
    }
    const uint64_t kept = std::min<uint64_t>({ be32(p + 4), (box.end - box.payload - 8) / 12, chunkRunsKept });
    const uint8_t* entries = reader.peek(box.payload + 8, static_cast<size_t>(kept * 12));
    for (uint64_t i = 0; entries && i < kept; ++i) {
        track.chunkRuns.push_back({ be32(entries + i * 12), be32(entries + i * 12 + 4) });
    }
}

void IsoMediaParser::parseStsz(const Box& box, Track& track)
{
    const uint8_t* p = reader.peek(box.payload, std::min<uint64_t>(12, box.end - box.payload));
    if (!p || box.end - box.payload < 12) {
        return;
    }
    track.sampleSize = be32(p + 4);
    track.sampleCount = be32(p + 8);
    if (track.sampleSize != 0) {
        return;
    }
    if (track.sampleCount > (box.end - box.payload - 12) / 4) {
        malformed = true;
        return;
    }
    const uint32_t kept = std::min(track.sampleCount, sampleSizesKept);
    const uint8_t* sizes = reader.peek(box.payload + 12, kept * 4);
    for (uint32_t i = 0; sizes && i < kept; ++i) {
        track.sampleSizes.push_back(be32(sizes + i * 4));
    }
}

void IsoMediaParser::parseTrak(const Box& trak, Track& track, int depth)
{
    if (depth > 3) {
        return; // trak, mdia, minf, stbl: nothing sits deeper
    }
    forEachChild(trak.payload, trak.end, [&](const Box& box) {
        if (box.type == fourcc("mdia") || box.type == fourcc("minf") || box.type == fourcc("stbl")) {
            parseTrak(box, track, depth + 1); // the same walk, one level down
        } else if (box.type == fourcc("stsd")) {
            parseStsd(box, track);
        } else if (box.type == fourcc("stco") || box.type == fourcc("co64")) {
            parseChunkOffsets(box, box.type == fourcc("co64"), track);
        } else if (box.type == fourcc("stsc")) {
            parseStsc(box, track);
        } else if (box.type == fourcc("stsz")) {
            parseStsz(box, track);
        }
        return !malformed;
    });
}

// Samples in a chunk (counted from 0); 0 when the table does not say.
uint32_t samplesInChunk(const Track& track, size_t chunk)
{
    uint32_t samples = 0;
    for (const ChunkRun& run : track.chunkRuns) {
        if (run.firstChunk > chunk + 1) {
            break;
        }
        samples = run.samplesPerChunk;
    }
    return samples;
}

// Bytes of the samples [first, first + count); 0 when the table does not say
// (sizes in raw audio samples, or beyond the sizes kept).
uint64_t sampleBytes(const Track& track, uint64_t first, uint32_t count)
{
    if (count == 0 || track.sampleSize == 1) {
        return 0;
    }
    if (track.sampleSize > 1) {
        return uint64_t(count) * track.sampleSize;
    }
    uint64_t bytes = 0;
    for (uint64_t i = first; i < first + count && i < track.sampleSizes.size(); ++i) {
        bytes += track.sampleSizes[i];
    }
    return bytes;
}

// Follows the track's frames chunk by chunk, where the sample table places
// them, until the mode is known or modeFrames frames are seen. In a chunk
// whose length the table does not give, frames are followed while their
// headers chain.
IsoMediaParser::Walk IsoMediaParser::walkFrames(const Track& track, const MpegAudioHeader& head)
{
    Walk walk;
    uint64_t firstSample = 0;
    for (size_t chunk = 0; chunk < track.chunkOffsets.size(); ++chunk) {
        const uint32_t samples = samplesInChunk(track, chunk);
        const uint64_t bytes = sampleBytes(track, firstSample, samples);
        const uint64_t end = bytes > 0 ? track.chunkOffsets[chunk] + bytes : reader.size();
        uint64_t at = track.chunkOffsets[chunk];
        int inChunk = 0;
        MpegAudioHeader h;
        while (at + 4 <= end) {
            const uint8_t* p = reader.peek(at, 4);
            if (!p || !parseMpegAudioHeader(p, h) || !sameMpegAudioStream(head, h)) {
                break;
            }
            ++walk.frames;
            ++inChunk;
            walk.joint = walk.joint || h.mode == 1;
            const bool modeKnown = walk.frames >= confirmFrames && (walk.joint || head.mode == 2 || head.mode == 3);
            const int length = h.frameLength();
            if (modeKnown || walk.frames >= modeFrames || length <= 4) {
                return walk;
            }
            at += static_cast<uint64_t>(length);
        }
        if (inChunk == 0) {
            break; // a chunk that does not start with a frame of the stream
        }
        firstSample += samples;
    }
    return walk;
}

// Confirms the track's first frame header by the frames that follow it in
// the track's chunks. A track with fewer samples than that needs all of them
// to agree.
void IsoMediaParser::evaluate(const Track& track)
{
    if (track.chunkOffsets.empty()) {
        return;
    }
    const uint64_t first = track.chunkOffsets.front();
    const uint8_t* p = reader.peek(first, 4);
    MpegAudioHeader head;
    if (!p || !parseMpegAudioHeader(p, head)) {
        return;
    }
    if (head.bitrateIndex == 0) {
        if (!haveFailure) {
            result.status = Status::FreeFormat;
            haveFailure = true;
        }
        return;
    }
    const Walk walk = walkFrames(track, head);
    const int needed
        = track.sampleCount > 0 ? std::min<int>(confirmFrames, static_cast<int>(track.sampleCount)) : confirmFrames;
    if (walk.frames < needed) {
        return;
    }
    const Status status = classifyMpegAudioHeader(head);
    if (status != Status::Ok) {
        if (!haveFailure) {
            result.status = status;
            haveFailure = true;
        }
        return;
    }
    result.status = Status::Ok;
    result.audio = audioParamsFromHeader(head, walk.joint);
    result.audio.audioOffset = static_cast<int64_t>(first);
    haveResult = true;
}

void IsoMediaParser::parseMoov(const Box& moov)
{
    forEachChild(moov.payload, moov.end, [&](const Box& box) {
        if (box.type == fourcc("trak")) {
            Track track;
            parseTrak(box, track, 0);
            if (!malformed && track.mpegAudio) {
                evaluate(track);
            }
        }
        return !malformed && !haveResult;
    });
}

ProbeResult IsoMediaParser::run()
{
    reader.setReadAhead(4096);
    const uint64_t size = reader.size();
    uint64_t offset = 0;
    for (int i = 0; i < maxChildren && offset + 8 <= size && !malformed; ++i) {
        Box box;
        if (!readBox(offset, size, true, box)) {
            break;
        }
        if (box.type == fourcc("moov")) {
            if (box.truncated) {
                malformed = true;
                break;
            }
            parseMoov(box);
            break;
        }
        offset = box.end;
    }
    if (haveResult) {
        return result;
    }
    if (malformed) {
        result.status = Status::Malformed;
    } else if (reader.failed()) {
        result.status = Status::ReadFailed;
    } else if (!haveFailure) {
        result.status = Status::NoAudio;
    }
    return result;
}

} // namespace

bool looksLikeIsoMedia(const uint8_t* head, size_t n)
{
    if (n < 8) {
        return false;
    }
    static constexpr uint32_t types[] = { fourcc("ftyp"), fourcc("moov"), fourcc("mdat"), fourcc("free"),
        fourcc("skip"), fourcc("wide"), fourcc("pnot"), fourcc("styp") };
    const uint32_t size = be32(head);
    const uint32_t type = be32(head + 4);
    return (size == 0 || size == 1 || size >= 8)
        && std::find(std::begin(types), std::end(types), type) != std::end(types);
}

ProbeResult readIsoMedia(BoundedReader& reader)
{
    IsoMediaParser parser(reader);
    return parser.run();
}

} // namespace vl::probe
