// Prints, per fixture, the time and the bytes the probe takes to get the
// encoding parameters, beside libavformat used in-process on the same file
// (avformat_open_input and avformat_find_stream_info through an I/O context
// that counts bytes), with the ratios, and the sums per container. Then the
// same for a 4 GiB transport stream whose tail is a hole, and, per container,
// the probe's cost for one stream at 1 MB, 100 MB and 4 GiB (sparse-tailed).
// Figures only: nothing here passes or fails.
//
//     bench_probe [fixture-dir]
#include "avformatpeer.h"
#include "scaledirectory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <probe/mpegprobe.h>
#include <sstream>
#include <string>
#include <vector>

using namespace vl::probe;
using vl::bench::AvformatPeer;
using vl::bench::Growth;
using vl::bench::PeerResult;
using vl::bench::ScaleDirectory;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uint64_t mebibyte = 1024 * 1024;

struct Figures
{
    double micros = 0; // median of the runs
    uint64_t bytes = 0;
    bool found = false;
};

// Runs f for about budgetMs (at least three times) and keeps the median time.
template<typename Run>
Figures measure(Run run, int budgetMs = 200)
{
    std::vector<double> times;
    Figures f;
    const auto end = Clock::now() + std::chrono::milliseconds(budgetMs);
    do {
        const auto start = Clock::now();
        run(f);
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    } while ((Clock::now() < end || times.size() < 3) && times.size() < 2000);
    std::sort(times.begin(), times.end());
    f.micros = times[times.size() / 2];
    return f;
}

Figures measureProbe(const std::string& path)
{
    return measure([&](Figures& f) {
        const ProbeResult r = probeFile(path.c_str());
        f.bytes = r.bytesRead;
        f.found = r.status == Status::Ok;
    });
}

Figures measurePeer(const AvformatPeer& peer, const std::string& path)
{
    return measure([&](Figures& f) {
        const PeerResult r = peer.probe(path);
        f.bytes = r.bytesRead;
        f.found = r.mpegAudio;
    });
}

struct Row
{
    std::string file;
    std::string container;
};

std::vector<Row> fixtures(const std::string& dir)
{
    std::vector<Row> rows;
    std::ifstream in(dir + "/expected.tsv");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream cells(line);
        std::string file, status, container;
        std::getline(cells, file, '\t');
        std::getline(cells, status, '\t');
        std::getline(cells, container, '\t');
        if (status == "ok") {
            rows.push_back({ file, container });
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.container < b.container; });
    return rows;
}

// libavformat has no reader for DVD IFO files: it gets the title set's first
// VOB (the one the probe reads beside a title set's or the video manager's IFO).
std::string peerPath(const std::string& path)
{
    for (const char* ifo : { "VIDEO_TS.IFO", "VTS_01_0.IFO" }) {
        const size_t at = path.rfind(ifo);
        if (at != std::string::npos && at + std::string(ifo).size() == path.size()) {
            return path.substr(0, at) + "VTS_01_1.VOB";
        }
    }
    return path;
}

unsigned long long ull(uint64_t v)
{
    return static_cast<unsigned long long>(v);
}

void printHeader(const char* first, int width)
{
    std::printf("%-*s %10s %10s %11s %11s %7s %7s\n", width, first, "probe us", "lavf us", "probe bytes", "lavf bytes",
        "time x", "bytes x");
}

void printRow(const char* first, int width, const Figures& probe, const Figures& peer)
{
    std::printf("%-*s %10.1f %10.1f %11llu %11llu %7.1f %7.2f%s%s\n", width, first, probe.micros, peer.micros,
        ull(probe.bytes), ull(peer.bytes), peer.micros / probe.micros, double(peer.bytes) / double(probe.bytes),
        probe.found ? "" : "  probe: no audio", peer.found ? "" : "  lavf: no MPEG audio");
}

void compareFixtures(const std::string& dir, const AvformatPeer& peer)
{
    std::printf("Per fixture: the probe beside libavformat (time x and bytes x: libavformat / probe)\n");
    printHeader("fixture", 46);
    std::map<std::string, std::pair<Figures, Figures>> sums;
    for (const Row& row : fixtures(dir)) {
        const std::string path = dir + "/" + row.file;
        const Figures probe = measureProbe(path);
        const Figures other = measurePeer(peer, peerPath(path));
        printRow((row.container + " " + row.file).c_str(), 46, probe, other);
        auto& [p, o] = sums[row.container];
        p.micros += probe.micros;
        p.bytes += probe.bytes;
        o.micros += other.micros;
        o.bytes += other.bytes;
        p.found = o.found = true;
    }
    std::printf("\nPer container, summed over its fixtures\n");
    printHeader("container", 12);
    for (const auto& [container, figures] : sums) {
        printRow(container.c_str(), 12, figures.first, figures.second);
    }
}

void sparseTransportStream(const std::string& dir, const AvformatPeer& peer)
{
    const std::string head = dir + "/ts_188_l2_48k_256.ts";
    ScaleDirectory scratch;
    if (!scratch.valid() || !scratch.grow(head, "big.ts", 4096 * mebibyte, Growth::Repeat, 0)) {
        std::printf("\ncannot write a sparse file in /tmp\n");
        return;
    }
    std::printf("\n4 GiB transport stream: ts_188_l2_48k_256.ts, then a hole\n");
    printHeader("file", 24);
    printRow("head alone", 24, measureProbe(head), measurePeer(peer, head));
    const std::string big = scratch.path("big.ts");
    printRow("head + hole, 4 GiB", 24, measureProbe(big), measurePeer(peer, big));
}

struct ScaleCase
{
    const char* container;
    const char* fixture; // relative to the fixture directory
    const char* name; // of the grown file; a DVD's IFO is copied beside its VOB
    Growth growth;
};

void scale(const std::string& dir)
{
    static const ScaleCase cases[] = {
        { "elementary", "es_l2_48k_stereo_192.mp2", "s.mp2", Growth::Repeat },
        { "program", "ps_mpeg2_l2_48k_joint_224.m2p", "s.mpg", Growth::Repeat },
        { "transport", "ts_188_l2_48k_256.ts", "s.ts", Growth::Repeat },
        { "iso", "mp4_moov_front_l2_44k_joint_160.mp4", "s.mp4", Growth::IsoFreeBox },
        { "mxf", "mxf_l2_48k_joint_192.mxf", "s.mxf", Growth::MxfFill },
        { "dvd", "dvd/VIDEO_TS/VTS_01_1.VOB", "VTS_01_1.VOB", Growth::Repeat },
    };
    // The 4 GiB file starts with the same megabyte as the 1 MB one.
    struct Size
    {
        const char* label;
        uint64_t size;
        uint64_t dense; // written bytes; a hole after them
    };
    static const Size sizes[] = { { "1 MB", 1000 * 1000, 1000 * 1000 },
        { "100 MB", 100 * 1000 * 1000, 100 * 1000 * 1000 }, { "4 GiB sparse", 4096 * mebibyte, 1000 * 1000 } };
    std::printf("\nScale: the probe on one stream at three sizes (us / bytes read)\n");
    std::printf("%-12s", "container");
    for (const Size& size : sizes) {
        std::printf(" %24s", size.label);
    }
    std::printf("\n");
    for (const ScaleCase& c : cases) {
        std::printf("%-12s", c.container);
        for (const Size& size : sizes) {
            ScaleDirectory scratch;
            const bool dvd = std::string(c.container) == "dvd";
            const bool ok = scratch.valid()
                && scratch.grow(dir + "/" + c.fixture, c.name, size.size, c.growth, size.dense)
                && (!dvd || scratch.copy(dir + "/dvd/VIDEO_TS/VTS_01_0.IFO", "VTS_01_0.IFO"));
            if (!ok) {
                std::printf(" %24s", "cannot write");
                continue;
            }
            const Figures f = measureProbe(scratch.path(dvd ? "VTS_01_0.IFO" : c.name));
            std::printf(" %10.1f us %10llu%s", f.micros, ull(f.bytes), f.found ? "" : "!");
        }
        std::printf("\n");
    }
    std::printf("(! marks a probe that found no audio)\n");
}

} // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : VL_FIXTURE_DIR;
    const AvformatPeer peer;
    compareFixtures(dir, peer);
    sparseTransportStream(dir, peer);
    scale(dir);
    return 0;
}
