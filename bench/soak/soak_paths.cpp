// Every kind of path through every entry that takes one: the settings-file
// module's load and save, the import module's mpegInGetInfo, a DVD title
// set whose VOB is of that kind (through both modules) and the dialog's
// banner. Each row runs in a child process with a deadline, so a call that
// blocks is reported as a hang instead of stopping the run; a failed call
// must leave the settings block (or the file it was given) as it was.
//
//     soak_paths [--timeout-ms T] [--lib-dir DIR] [--dir PARENT]
#include "childprocess.h"
#include "commandline.h"
#include "dialogcloser.h"
#include "sharedlibrary.h"

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>
#include <veltrano/mpa_dialog.h>
#include <veltrano/mpa_modules.h>

namespace fs = std::filesystem;

namespace {

constexpr uid_t nobody = 65534;

enum class Kind { Regular, Missing, Directory, Fifo, Zero, Urandom, Unreadable, DanglingLink };

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::Regular:
        return "regular";
    case Kind::Missing:
        return "missing";
    case Kind::Directory:
        return "directory";
    case Kind::Fifo:
        return "FIFO";
    case Kind::Zero:
        return "device (zero)";
    case Kind::Urandom:
        return "device (urandom)";
    case Kind::Unreadable:
        return "unreadable";
    case Kind::DanglingLink:
        return "dangling link";
    }
    return "?";
}

const Kind allKinds[] = { Kind::Regular, Kind::Missing, Kind::Directory, Kind::Fifo, Kind::Zero, Kind::Urandom,
    Kind::Unreadable, Kind::DanglingLink };

// Makes a file system entry of the given kind at path; a regular file is a
// copy of model. False when this machine does not allow it.
bool makeEntry(Kind kind, const fs::path& path, const fs::path& model)
{
    std::error_code error;
    switch (kind) {
    case Kind::Regular:
        return fs::copy_file(model, path, error);
    case Kind::Missing:
        return true;
    case Kind::Directory:
        return fs::create_directory(path, error);
    case Kind::Fifo:
        return ::mkfifo(path.c_str(), 0644) == 0;
    case Kind::Zero:
    case Kind::Urandom:
        // A node of its own, so that nothing can ever replace the real one.
        return ::mknod(path.c_str(), S_IFCHR | 0644, makedev(1, kind == Kind::Zero ? 5 : 9)) == 0;
    case Kind::Unreadable:
        return fs::copy_file(model, path, error) && ::chmod(path.c_str(), 0) == 0;
    case Kind::DanglingLink:
        fs::create_symlink(path.filename().string() + ".nowhere", path, error);
        return !error;
    }
    return false;
}

// What the child reports back through shared memory.
struct RowReport
{
    int32_t result = -1;
    bool blockChanged = false; // by a call that failed
    bool entryChanged = false; // the path's entry, by a save that failed
    bool linkReplaced = false; // a save through a link replaced the link
};

struct Entry
{
    const char* name;
    fs::path model; // the content of the regular file
    bool dvd = false; // the kind is that of the VOB beside an IFO
    std::function<void(const fs::path&, RowReport&)> call;
};

EncoderSettings pattern()
{
    EncoderSettings s;
    for (size_t i = 0; i < sizeof s; ++i) {
        reinterpret_cast<uint8_t*>(&s)[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    s.mode = VL_MODE_JOINT_STEREO;
    s.layer = 2;
    s.psychModel = 1;
    s.bitrateIndex = 11;
    s.emphasis = VL_EMPHASIS_NONE;
    s.privateBit = s.copyrightBit = s.errorProtection = 0;
    s.originalBit = 1;
    s.audioType = VL_AUDIO_MPEG1;
    s.sampleFrequency = 48000;
    return s;
}

struct EntryState
{
    bool exists = false;
    fs::file_type type = fs::file_type::none;
    uintmax_t size = 0;
    struct timespec mtime
    {
    };
};

EntryState stateOf(const fs::path& path)
{
    EntryState state;
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) == 0) {
        state.exists = true;
        state.type = fs::symlink_status(path).type();
        state.size = static_cast<uintmax_t>(st.st_size);
        state.mtime = st.st_mtim;
    }
    return state;
}

bool sameState(const EntryState& a, const EntryState& b)
{
    return a.exists == b.exists && a.type == b.type && a.size == b.size && a.mtime.tv_sec == b.mtime.tv_sec
        && a.mtime.tv_nsec == b.mtime.tv_nsec;
}

class PathTable
{
public:
    PathTable(const std::string& libDir, const fs::path& scratch, std::chrono::milliseconds timeout);
    bool isReady() const { return ready; }
    // Runs every row and prints it; returns the number of faulty rows.
    int run(int argc, char** argv);

private:
    void addEntries(int argc, char** argv);
    fs::path prepare(const Entry& entry, Kind kind, bool& made);

    vl::host::SharedLibrary config;
    vl::host::SharedLibrary import;
    vl::host::SharedLibrary dialog;
    fs::path scratch;
    std::chrono::milliseconds timeout;
    std::vector<Entry> entries;
    bool ready = false;
};

PathTable::PathTable(const std::string& libDir, const fs::path& scratch, std::chrono::milliseconds timeout)
    : config(libDir + "/vl_config_mpa.so")
    , import(libDir + "/vl_mfimport.so")
    , dialog(libDir + "/libvl_gui_mpa.so")
    , scratch(scratch)
    , timeout(timeout)
{
    ready = config.isLoaded() && import.isLoaded() && dialog.isLoaded();
    for (const vl::host::SharedLibrary* library : { &config, &import, &dialog }) {
        if (!library->isLoaded()) {
            std::fprintf(stderr, "soak_paths: %s\n", library->errorString().c_str());
        }
    }
}

void PathTable::addEntries(int argc, char** argv)
{
    const fs::path source = VL_SOAK_SOURCE_DIR;
    const fs::path settingsFile = source / "tests/fixtures/settings/dvd_joint_224.ini";
    const fs::path mpegFile = source / "tests/fixtures/mpeg/es_l2_48k_stereo_192.mp2";
    const fs::path vob = source / "tests/fixtures/mpeg/dvd/VIDEO_TS/VTS_01_1.VOB";
    const fs::path banner = source / "src/gui/res_mpa/banners/banner.png";
    const auto getApi = config.function<MPAConfigGetAPIExtFunc>("MPAConfigGetAPIExt");
    const MPAConfigFileFunc load = getApi(VL_CONFIG_API_LOAD);
    const MPAConfigFileFunc save = getApi(VL_CONFIG_API_SAVE);
    const auto infoInit = import.function<MpegInInfoInitFunc>("mpegInInfoInit");
    const auto getInfo = import.function<MpegInGetInfoFunc>("mpegInGetInfo");
    const auto show = dialog.function<ShowMPAEncoderPagesFunc>("showMPAEncoderPages");

    const auto loadCall = [load](const fs::path& path, RowReport& report) {
        EncoderSettings block = pattern();
        const EncoderSettings before = block;
        report.result = load(&block, path.c_str());
        report.blockChanged = report.result != 0 && std::memcmp(&block, &before, sizeof block) != 0;
    };
    const auto infoCall = [infoInit, getInfo](const fs::path& path, RowReport& report) {
        MpegInInfo info;
        infoInit(&info);
        report.result = getInfo(&info, path.c_str());
    };
    entries.push_back({ "config load", settingsFile, false, loadCall });
    entries.push_back({ "config save", settingsFile, false, [save](const fs::path& path, RowReport& report) {
                           EncoderSettings block = pattern();
                           const bool wasLink = fs::is_symlink(fs::symlink_status(path));
                           const EntryState before = stateOf(path);
                           report.result = save(&block, path.c_str());
                           report.entryChanged = report.result != 0 && !sameState(before, stateOf(path));
                           report.linkReplaced = wasLink && !fs::is_symlink(fs::symlink_status(path));
                       } });
    entries.push_back({ "import mpegInGetInfo", mpegFile, false, infoCall });
    entries.push_back({ "config load, VOB beside IFO", vob, true, loadCall });
    entries.push_back({ "import, VOB beside IFO", vob, true, infoCall });
    entries.push_back({ "dialog banner", banner, false, [show, argc, argv](const fs::path& path, RowReport& report) {
                           int count = argc;
                           QApplication app(count, argv);
                           DialogCloser closer;
                           DialogParams params {};
                           params.parent = reinterpret_cast<uintptr_t>(&app);
                           const std::string banner = path.string();
                           params.banner = banner.c_str();
                           EncoderSettings block = pattern();
                           report.result = show(&block, VL_FLAG_HOST_APPLICATION | VL_FLAG_PARAMS_RECORD | 0x51,
                               reinterpret_cast<intptr_t>(&params));
                       } });
}

// The path to hand to the entry for one row: the entry itself of the kind,
// or for DVD rows an IFO whose VOB beside it is of the kind.
fs::path PathTable::prepare(const Entry& entry, Kind kind, bool& made)
{
    static int row = 0;
    const fs::path dir = scratch / ("row" + std::to_string(++row));
    fs::create_directory(dir);
    fs::permissions(dir, fs::perms(0755));
    if (!entry.dvd) {
        const fs::path path = dir / ("file" + entry.model.extension().string());
        made = makeEntry(kind, path, entry.model);
        return path;
    }
    const fs::path ifo = dir / "VTS_01_0.IFO";
    made = fs::copy_file(entry.model.parent_path() / "VTS_01_0.IFO", ifo)
        && makeEntry(kind, dir / "VTS_01_1.VOB", entry.model);
    return ifo;
}

int PathTable::run(int argc, char** argv)
{
    addEntries(argc, argv);
    void* const shared = ::mmap(nullptr, sizeof(RowReport), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        return 1;
    }
    auto* const report = static_cast<RowReport*>(shared);
    int faults = 0;
    int hangs = 0;
    std::printf("every path kind through every entry that takes a path (a row is killed after %lld ms)\n",
        static_cast<long long>(timeout.count()));
    std::printf("  %-28s %-17s %-26s %s\n", "entry", "path", "outcome", "result");
    for (const Entry& entry : entries) {
        for (const Kind kind : allKinds) {
            bool made = false;
            const fs::path path = prepare(entry, kind, made);
            std::printf("  %-28s %-17s ", entry.name, kindName(kind));
            if (!made) {
                std::printf("%-26s\n", "not run: cannot make it here");
                continue;
            }
            *report = RowReport();
            report->result = INT32_MIN;
            const ChildOutcome outcome = ChildProcess::run(
                [&] {
                    // A reader that takes a device for a file must fail, not fill the machine.
                    const rlimit memory { 4ul << 30, 4ul << 30 };
                    ::setrlimit(RLIMIT_AS, &memory);
                    // Root reads everything; the unreadable row runs as nobody.
                    if (kind == Kind::Unreadable && ::geteuid() == 0
                        && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
                        return 3;
                    }
                    entry.call(path, *report);
                    return 0;
                },
                timeout);
            std::string result;
            if (outcome.kind == ChildOutcome::Exited && outcome.code == 0) {
                result = std::to_string(report->result);
                result += report->blockChanged ? ", BLOCK CHANGED" : "";
                result += report->entryChanged ? ", FILE CHANGED" : "";
                result += report->linkReplaced ? ", link replaced by a file" : "";
            }
            const bool faulty = outcome.kind != ChildOutcome::Exited || outcome.code != 0 || report->blockChanged
                || report->entryChanged || report->linkReplaced;
            faults += faulty;
            hangs += outcome.kind == ChildOutcome::Hung;
            std::printf("%-26s %s\n", outcome.text().c_str(), result.c_str());
            std::fflush(stdout);
        }
    }
    std::printf("  rows: %zu, hangs: %d, faulty rows (hang, crash, changed block or file, replaced link): %d\n",
        entries.size() * std::size(allKinds), hangs, faults);
    return faults;
}

} // namespace

int main(int argc, char** argv)
{
    const CommandLine options(argc, argv);
    const auto timeout = std::chrono::milliseconds(options.number("--timeout-ms", 5000));
    const std::string libDir = options.text("--lib-dir", VL_SOAK_LIB_DIR);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    std::string scratch = options.text("--dir", "/tmp") + "/vl_soak_paths_XXXXXX";
    if (!::mkdtemp(scratch.data())) {
        std::perror("mkdtemp");
        return 2;
    }
    fs::permissions(scratch, fs::perms(0755));
    PathTable table(libDir, scratch, timeout);
    const int faults = table.isReady() ? table.run(argc, argv) : -1;
    std::error_code error;
    fs::remove_all(scratch, error);
    return faults == 0 ? 0 : 1;
}
