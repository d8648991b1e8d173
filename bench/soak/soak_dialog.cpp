// Calls the dialog library N times in one process, the way a host that runs
// its own QApplication does, each dialog cancelled by a timer. Prints the
// resident memory after 10, 100 and N calls and, when LeakSanitizer is in
// the process (LD_PRELOAD=liblsan.so.0), the memory it finds unreachable at
// the same points, split into what our libraries allocated and the rest.
//
//     soak_dialog [--calls N] [--lib-dir DIR]
#include "commandline.h"
#include "dialogcloser.h"
#include "sharedlibrary.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>
#include <veltrano/mpa_dialog.h>

namespace {

using Clock = std::chrono::steady_clock;

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

EncoderSettings hostSettings()
{
    EncoderSettings s;
    std::memset(&s, 0, sizeof s);
    s.layer = 2;
    s.mode = VL_MODE_JOINT_STEREO;
    s.bitrateIndex = 11;
    s.psychModel = 1;
    s.originalBit = 1;
    s.audioType = VL_AUDIO_MPEG1;
    s.sampleFrequency = 48000;
    return s;
}

struct Leaks
{
    long bytes = 0;
    long allocations = 0;
    long ourBytes = 0; // allocated with one of our libraries on the stack
    long ourAllocations = 0;
};

// Parses a LeakSanitizer report: blocks that begin "Direct leak of B byte(s)
// in N object(s)" (or "Indirect leak"), followed by their stack frames.
Leaks parseReport(const std::string& report)
{
    // A frame names its library, or once symbolized its source file.
    static const char* const ours[] = { "libvl_gui_mpa", "vl_config_mpa", "vl_enc_mpa", "vl_mfimport",
        "gui_mpa_localize", "src/gui/", "src/modules/" };
    Leaks leaks;
    std::istringstream lines(report);
    std::string line;
    long blockBytes = 0;
    long blockObjects = 0;
    bool blockOurs = false;
    const auto closeBlock = [&] {
        if (blockOurs) {
            leaks.ourBytes += blockBytes;
            leaks.ourAllocations += blockObjects;
        }
        blockBytes = blockObjects = 0;
        blockOurs = false;
    };
    while (std::getline(lines, line)) {
        long bytes = 0;
        long objects = 0;
        if (std::sscanf(line.c_str(), "Direct leak of %ld byte(s) in %ld object(s)", &bytes, &objects) == 2
            || std::sscanf(line.c_str(), "Indirect leak of %ld byte(s) in %ld object(s)", &bytes, &objects) == 2) {
            closeBlock();
            blockBytes = bytes;
            blockObjects = objects;
            leaks.bytes += bytes;
            leaks.allocations += objects;
        } else if (line.find("    #") == 0) {
            blockOurs = blockOurs || std::any_of(std::begin(ours), std::end(ours), [&](const char* name) {
                return line.find(name) != std::string::npos;
            });
        }
    }
    closeBlock();
    return leaks;
}

// LeakSanitizer's check of the moment, when its runtime is in the process.
// The report goes to standard error; it is caught in a file and parsed.
class LeakCheck
{
public:
    LeakCheck()
        : check(reinterpret_cast<int (*)()>(::dlsym(RTLD_DEFAULT, "__lsan_do_recoverable_leak_check")))
    {
    }

    bool available() const { return check != nullptr; }

    Leaks run() const
    {
        char name[] = "/tmp/vl_soak_lsan_XXXXXX";
        const int file = ::mkstemp(name);
        std::fflush(stderr);
        const int saved = ::dup(STDERR_FILENO);
        ::dup2(file, STDERR_FILENO);
        check();
        std::fflush(stderr);
        ::dup2(saved, STDERR_FILENO);
        ::close(saved);
        ::close(file);
        std::ifstream in(name);
        std::ostringstream report;
        report << in.rdbuf();
        ::unlink(name);
        return parseReport(report.str());
    }

private:
    int (*check)();
};

} // namespace

int main(int argc, char** argv)
{
    const CommandLine options(argc, argv);
    const int calls = static_cast<int>(options.number("--calls", 500));
    const std::string libDir = options.text("--lib-dir", VL_SOAK_LIB_DIR);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The library's debug lines (which modules it found) would repeat every call.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg) {
            std::fprintf(stderr, "%s\n", qPrintable(message));
        }
    });

    QApplication app(argc, argv);
    vl::host::SharedLibrary library(libDir + "/libvl_gui_mpa.so");
    const auto show = library.function<ShowMPAEncoderPagesFunc>("showMPAEncoderPages");
    if (!show) {
        std::fprintf(stderr, "soak_dialog: %s\n", library.errorString().c_str());
        return 2;
    }
    const LeakCheck leakCheck;
    const uint32_t flags
        = VL_FLAG_HOST_APPLICATION | VL_FLAG_BASIC_SETTINGS | VL_FLAG_LOAD_SAVE | VL_FLAG_COLOURED_MESSAGES;
    std::vector<int> checkpoints { 1, 10, 100, calls };
    checkpoints.erase(
        std::remove_if(checkpoints.begin(), checkpoints.end(), [&](int n) { return n > calls; }), checkpoints.end());
    checkpoints.erase(std::unique(checkpoints.begin(), checkpoints.end()), checkpoints.end());

    std::printf("dialog calls: %d in one process, each cancelled by a timer%s\n", calls,
        leakCheck.available() ? ", under LeakSanitizer" : "");
    std::printf("  %6s  %12s  %10s", "calls", "resident KiB", "ms/call");
    if (leakCheck.available()) {
        std::printf("  %-34s  %s", "unreachable (all)", "unreachable (our libraries)");
    }
    std::printf("\n");
    DialogCloser closer;
    int unexpected = 0;
    auto lapStart = Clock::now();
    int lapCalls = 0;
    for (int n = 1; n <= calls; ++n) {
        EncoderSettings settings = hostSettings();
        const int32_t result = show(&settings, flags, reinterpret_cast<intptr_t>(&app));
        unexpected += result != VL_DIALOG_REJECTED;
        ++lapCalls;
        if (std::find(checkpoints.begin(), checkpoints.end(), n) == checkpoints.end()) {
            continue;
        }
        const double msPerCall = std::chrono::duration<double, std::milli>(Clock::now() - lapStart).count() / lapCalls;
        std::printf("  %6d  %12ld  %10.1f", n, residentKiB(), msPerCall);
        if (leakCheck.available()) {
            const Leaks l = leakCheck.run();
            std::printf("  %9ld bytes in %6ld allocations  %9ld bytes in %6ld allocations", l.bytes, l.allocations,
                l.ourBytes, l.ourAllocations);
        }
        std::printf("\n");
        std::fflush(stdout);
        lapStart = Clock::now();
        lapCalls = 0;
    }
    std::printf("  dialogs closed by the timer: %d; calls that did not return 1001: %d\n", closer.closed(), unexpected);
    return unexpected == 0 ? 0 : 1;
}
