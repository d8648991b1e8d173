// Feeds arbitrary bytes to one container reader (chosen when compiling) and
// checks what any result must satisfy.
#include "boundedreader.h"
#include "dvdiforeader.h"
#include "elementarystreamreader.h"
#include "isomediareader.h"
#include "memorysource.h"
#include "mpegprobe.h"
#include "mxfreader.h"
#include "programstreamreader.h"
#include "transportstreamreader.h"

#include <cstdlib>

using namespace vl::probe;

namespace {

constexpr uint64_t budget = 4 * 1024 * 1024;

ProbeResult readWith(BoundedReader& reader, const uint8_t* data, size_t size)
{
#if defined(VL_FUZZ_READER_elementary)
    (void)data;
    (void)size;
    return readElementaryStream(reader, 0, 2 * 1024 * 1024);
#elif defined(VL_FUZZ_READER_program)
    (void)data;
    (void)size;
    return readProgramStream(reader, 0);
#elif defined(VL_FUZZ_READER_transport)
    TransportLayout layout;
    if (!detectTransportLayout(data, size, layout)) {
        layout = { 0, 188, 0 };
    }
    return readTransportStream(reader, layout);
#elif defined(VL_FUZZ_READER_isomedia)
    (void)data;
    (void)size;
    return readIsoMedia(reader);
#elif defined(VL_FUZZ_READER_mxf)
    const int64_t at = findMxfHeaderPartition(data, size);
    return readMxf(reader, at < 0 ? 0 : static_cast<uint64_t>(at));
#elif defined(VL_FUZZ_READER_dvdifo)
    (void)data;
    (void)size;
    return readDvdIfo(reader, budget);
#else
    (void)reader;
    return probeMemory(data, size);
#endif
}

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemorySource source(data, size);
    BoundedReader reader(source, budget);
    const ProbeResult r = readWith(reader, data, size);
    check(source.bytesRead() <= budget);
    if (r.status == Status::Ok) {
        const AudioParams& a = r.audio;
        check(a.layer == 1 || a.layer == 2);
        check(a.sampleFrequency > 0);
        check(a.mode >= 0 && a.mode <= 3);
        if (a.fields & FieldBitrate) {
            check(a.bitrateIndex >= 1 && a.bitrateIndex <= 14 && a.bitrateKbps > 0);
        }
        if (a.fields & FieldEmphasis) {
            check(a.emphasis == 0 || a.emphasis == 1 || a.emphasis == 3);
        }
        check(a.audioOffset < static_cast<int64_t>(size));
    }
    return 0;
}
