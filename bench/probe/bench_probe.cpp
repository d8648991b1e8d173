// Prints, per fixture, the time and the bytes the probe takes to get the
// encoding parameters, and the time of `ffprobe -show_streams` on the same
// file (when ffprobe is installed) with the ratio of the two. Then shows
// that a 4 GiB transport stream with a sparse tail costs what its head costs.
//
//     bench_probe [fixture-dir]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <probe/mpegprobe.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vl::probe;
using Clock = std::chrono::steady_clock;

namespace {

struct Figures
{
    double micros = 0; // median of the runs
    uint64_t bytes = 0;
    Status status = Status::NoAudio;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Figures measureProbe(const std::string& path)
{
    Figures f;
    std::vector<double> runs;
    const auto budgetEnd = Clock::now() + std::chrono::milliseconds(200);
    do {
        const auto start = Clock::now();
        const ProbeResult r = probeFile(path.c_str());
        runs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        f.bytes = r.bytesRead;
        f.status = r.status;
    } while (Clock::now() < budgetEnd && runs.size() < 2000);
    f.micros = median(runs);
    return f;
}

bool haveFfprobe()
{
    return std::system("command -v ffprobe >/dev/null 2>&1") == 0;
}

// Median wall time of `ffprobe -v error -show_streams path`, output discarded.
double measureFfprobe(const std::string& path)
{
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execlp("ffprobe", "ffprobe", "-v", "error", "-show_streams", path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        runs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return median(runs);
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

void sparseTail(const std::string& dir)
{
    const std::string head = dir + "/ts_188_l2_48k_256.ts";
    char name[] = "/tmp/vl_bench_sparse_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        std::perror("mkstemp");
        return;
    }
    std::ifstream in(head, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size())
        && ftruncate(fd, off_t(4) * 1024 * 1024 * 1024) == 0;
    close(fd);
    if (ok) {
        const Figures small = measureProbe(head);
        const Figures big = measureProbe(name);
        std::printf("\nsparse-tailed transport stream (head %zu bytes):\n", bytes.size());
        std::printf("  %-26s %10.1f us %10llu bytes read\n", "head alone", small.micros,
            static_cast<unsigned long long>(small.bytes));
        std::printf("  %-26s %10.1f us %10llu bytes read  (%s)\n", "same head, 4 GiB file", big.micros,
            static_cast<unsigned long long>(big.bytes), statusText(big.status));
        std::printf("  cost ratio 4 GiB / head: time %.2f, bytes %.2f\n", big.micros / small.micros,
            double(big.bytes) / double(small.bytes));
    }
    unlink(name);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string dir = argc > 1 ? argv[1] : VL_FIXTURE_DIR;
    const bool ffprobe = haveFfprobe();
    std::printf("%-12s %-40s %10s %10s %12s %8s\n", "container", "fixture", "probe us", "bytes", "ffprobe us", "ratio");
    double worstRatio = 0;
    uint64_t mostBytes = 0;
    for (const Row& row : fixtures(dir)) {
        const std::string path = dir + "/" + row.file;
        const Figures f = measureProbe(path);
        mostBytes = std::max(mostBytes, f.bytes);
        if (ffprobe) {
            const double reference = measureFfprobe(path);
            const double ratio = reference / f.micros;
            worstRatio = worstRatio == 0 ? ratio : std::min(worstRatio, ratio);
            std::printf("%-12s %-40s %10.1f %10llu %12.0f %7.0fx\n", row.container.c_str(), row.file.c_str(), f.micros,
                static_cast<unsigned long long>(f.bytes), reference, ratio);
        } else {
            std::printf("%-12s %-40s %10.1f %10llu %12s %8s\n", row.container.c_str(), row.file.c_str(), f.micros,
                static_cast<unsigned long long>(f.bytes), "-", "-");
        }
    }
    std::printf(
        "\nmost bytes read for one fixture: %llu (limit 1048576)\n", static_cast<unsigned long long>(mostBytes));
    if (ffprobe) {
        std::printf("smallest speed-up over ffprobe: %.0fx (target 20x)\n", worstRatio);
    } else {
        std::printf("ffprobe not installed: no comparison\n");
    }
    sparseTail(dir);
    return 0;
}
