// Drives the DVD reader through real files: the input is a title set's IFO
// followed by the start of its first VOB, split where the IFO's own header
// says the IFO ends (its last sector, as an authoring tool writes it). Both
// are written into a directory of this process and the IFO is probed by
// path, so the reader opens the VOB beside it as it does on a disc.
#include "boundedreader.h"
#include "mpegprobe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace vl::probe;

namespace {

constexpr size_t lastSectorOffset = 0x1c;
constexpr size_t sectorSize = 2048;
// Keeps the IFO part small whatever the header claims; real ones are a few sectors.
constexpr uint32_t maxIfoSectors = 64;

const char* const fileNames[] = { "VTS_01_0.IFO", "VTS_01_1.VOB" };

// In memory where the system has a tmpfs there: every input is written.
// Removed when the fuzzer exits.
const std::string& directory()
{
    static const std::string dir = [] {
        for (const char* base : { "/dev/shm", "/tmp" }) {
            std::string name = std::string(base) + "/vl_fuzz_dvd_XXXXXX";
            if (mkdtemp(name.data())) {
                return name;
            }
        }
        std::perror("mkdtemp");
        std::abort();
    }();
    static const bool cleanup = std::atexit([] {
        for (const char* file : fileNames) {
            unlink((dir + "/" + file).c_str());
        }
        rmdir(dir.c_str());
    }) == 0;
    (void)cleanup;
    return dir;
}

void writeFile(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
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
    size_t ifoSize = size;
    if (size >= lastSectorOffset + 4) {
        const uint32_t sectors = (be32(data + lastSectorOffset) % maxIfoSectors) + 1;
        ifoSize = std::min<size_t>(size, sectors * sectorSize);
    }
    const std::string ifo = directory() + "/" + fileNames[0];
    writeFile(ifo, data, ifoSize);
    writeFile(directory() + "/" + fileNames[1], data + ifoSize, size - ifoSize);

    const ProbeResult r = probeFile(ifo.c_str());
    // Each file is read at most once, but a video manager's IFO under this
    // name leads to itself as the title set.
    check(r.bytesRead <= size + ifoSize);
    if (r.status == Status::Ok) {
        const AudioParams& a = r.audio;
        check(a.layer == 1 || a.layer == 2);
        check(a.sampleFrequency > 0);
        check(a.mode >= 0 && a.mode <= 3);
        // An offset in the VOB means nothing to a caller of the IFO.
        check(r.container != Container::DvdIfo || a.audioOffset == -1);
    }
    return 0;
}
