#include "mpegprobe.h"

#include "boundedreader.h"
#include "dvdiforeader.h"
#include "elementarystreamreader.h"
#include "filesource.h"
#include "isomediareader.h"
#include "memorysource.h"
#include "mpegaudioheader.h"
#include "mxfreader.h"
#include "programstreamreader.h"
#include "transportstreamreader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace vl::probe {

namespace {

// Most a probe reads from all files together; audio that starts later than
// this in a multiplex is not found.
constexpr uint64_t budget = 4 * 1024 * 1024;
// How far into a file of unknown content a raw stream is looked for.
constexpr uint64_t elementarySearch = 2 * 1024 * 1024;
// What the container is recognised from.
constexpr size_t maxHeadSize = 16 * 1024;
// How far a program stream's first pack may sit behind leading junk.
constexpr size_t packSearch = 64 * 1024;

int64_t findPackHeader(BoundedReader& reader)
{
    const size_t n = static_cast<size_t>(std::min<uint64_t>(packSearch, reader.size()));
    const uint8_t* p = reader.peek(0, n);
    // The pack start code's last byte is the rare one: look for it, then at
    // the three bytes before it.
    for (size_t at = 0; p && at + 14 <= n; ++at) {
        const void* code = std::memchr(p + at + 3, 0xba, n - at - 3);
        if (!code) {
            break;
        }
        at = static_cast<size_t>(static_cast<const uint8_t*>(code) - p) - 3;
        if (at + 14 > n) {
            break;
        }
        if (isPackHeader(p + at, n - at)) {
            return static_cast<int64_t>(at);
        }
    }
    return -1;
}

ProbeResult probeSource(ByteSource& source)
{
    BoundedReader reader(source, budget);
    const size_t headSize = static_cast<size_t>(std::min<uint64_t>(maxHeadSize, reader.size()));
    ProbeResult result;
    if (headSize == 0) {
        return result;
    }
    const uint8_t* window = reader.peek(0, headSize);
    if (!window) {
        result.status = Status::ReadFailed;
        return result;
    }
    // A copy: the readers move the reader's window.
    const std::vector<uint8_t> headCopy(window, window + headSize);
    const uint8_t* head = headCopy.data();
    TransportLayout layout;
    int64_t at = -1;
    if (looksLikeDvdIfo(head, headSize)) {
        result = readDvdIfo(reader, budget);
        result.container = Container::DvdIfo;
    } else if (looksLikeIsoMedia(head, headSize)) {
        result = readIsoMedia(reader);
        result.container = Container::IsoMedia;
    } else if ((at = findMxfHeaderPartition(head, headSize)) >= 0) {
        result = readMxf(reader, static_cast<uint64_t>(at));
        result.container = Container::Mxf;
    } else if (isPackHeader(head, headSize)) {
        result = readProgramStream(reader, 0);
        result.container = Container::ProgramStream;
    } else if (detectTransportLayout(head, headSize, layout)) {
        result = readTransportStream(reader, layout);
        result.container = Container::TransportStream;
    } else if ((at = findPackHeader(reader)) >= 0) {
        result = readProgramStream(reader, static_cast<uint64_t>(at));
        result.container = Container::ProgramStream;
    } else {
        result = readElementaryStream(reader, 0, elementarySearch);
        const bool tagged = headSize >= 3 && head[0] == 'I' && head[1] == 'D' && head[2] == '3';
        if (result.status != Status::NoAudio || tagged) {
            result.container = Container::Elementary;
        }
    }
    return result;
}

ProbeResult guarded(ByteSource& source)
{
    // Nothing here throws by design; an allocation failure must still not
    // leave through a C entry point.
    try {
        ProbeResult result = probeSource(source);
        result.bytesRead += source.bytesRead();
        return result;
    } catch (const std::bad_alloc&) {
        ProbeResult result;
        result.status = Status::ReadFailed;
        result.bytesRead = source.bytesRead();
        return result;
    }
}

} // namespace

ProbeResult probeFile(const char* path)
{
    ProbeResult result;
    if (!path || !*path) {
        result.status = Status::OpenFailed;
        return result;
    }
    const std::unique_ptr<FileSource> source = FileSource::open(path);
    if (!source) {
        result.status = Status::OpenFailed;
        return result;
    }
    return guarded(*source);
}

ProbeResult probeMemory(const uint8_t* data, size_t size)
{
    MemorySource source(data, data ? size : 0);
    return guarded(source);
}

const char* statusText(Status status)
{
    switch (status) {
    case Status::Ok:
        return "ok";
    case Status::OpenFailed:
        return "cannot open the file";
    case Status::ReadFailed:
        return "read error";
    case Status::NoAudio:
        return "no MPEG-1/2 Layer I or II audio found";
    case Status::UnsupportedLayer:
        return "Layer III audio";
    case Status::FreeFormat:
        return "free-format audio";
    case Status::ReservedValue:
        return "reserved header value";
    case Status::Malformed:
        return "malformed container";
    }
    return "unknown";
}

const char* containerText(Container container)
{
    switch (container) {
    case Container::Unknown:
        return "unknown";
    case Container::Elementary:
        return "elementary stream";
    case Container::ProgramStream:
        return "program stream";
    case Container::TransportStream:
        return "transport stream";
    case Container::IsoMedia:
        return "ISO base media";
    case Container::Mxf:
        return "MXF";
    case Container::DvdIfo:
        return "DVD IFO";
    }
    return "unknown";
}

} // namespace vl::probe
