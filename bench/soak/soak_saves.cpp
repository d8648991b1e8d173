// Kills saves of the settings-file module with SIGKILL at random moments and
// prints what the settings file and its directory look like afterwards: torn,
// empty, missing or unloadable files, and temporary files left beside it.
//
//     soak_saves [--kills M] [--lib-dir DIR] [--dir PARENT]
//
// A child process saves two different blocks in turn, as fast as it can, and
// is killed after a random delay spread over a few saves; after each kill
// the file must hold one of the two texts in full. The kills go once to the
// module's save, and once to the atomic write with a named temporary file,
// the way file systems without unnamed ones are written.
#include "commandline.h"
#include "sharedlibrary.h"

#include <chrono>
#include <config/atomicfile.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <veltrano/mpa_modules.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* settingsName = "soak.ini";

EncoderSettings block(int32_t mode, int32_t bitrateIndex, int32_t originalBit)
{
    EncoderSettings s;
    std::memset(&s, 0, sizeof s);
    s.mode = mode;
    s.layer = 2;
    s.psychModel = 1;
    s.bitrateIndex = bitrateIndex;
    s.originalBit = originalBit;
    s.audioType = VL_AUDIO_MPEG1;
    s.sampleFrequency = 48000;
    return s;
}

std::string readFile(const std::string& path, bool& exists)
{
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Entries of dir other than the settings file itself.
int strayEntries(const std::string& dir)
{
    int count = 0;
    if (DIR* const d = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(d)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && name != settingsName) {
                ++count;
            }
        }
        ::closedir(d);
    }
    return count;
}

struct Tally
{
    int kills = 0;
    int torn = 0;
    int empty = 0;
    int missing = 0;
    int unloadable = 0;
    int mostStray = 0;
};

class SaveSoak
{
public:
    SaveSoak(MPAConfigFileFunc load, MPAConfigFileFunc save, std::string dir)
        : load(load)
        , save(save)
        , dir(std::move(dir))
        , file(this->dir + "/" + settingsName)
    {
    }

    // Writes the first (0) or the second (1) text; false when that fails.
    using Writer = std::function<bool(int which)>;

    bool prepare();
    Tally run(int kills, const Writer& write);
    // The module's save of the first or the second block.
    Writer moduleSave();
    // The atomic write of the first or the second text with a named temporary file.
    Writer namedWrite();
    double saveMicros() const { return microsPerSave; }
    unsigned long savesCompleted() const { return *completed; }
    int strayAfterOneMoreSave();

private:
    void inspect(Tally& tally);

    MPAConfigFileFunc load;
    MPAConfigFileFunc save;
    std::string dir;
    std::string file;
    EncoderSettings blocks[2] = { block(VL_MODE_JOINT_STEREO, 11, 1), block(VL_MODE_MONO, 6, 0) };
    std::string texts[2];
    double microsPerSave = 0;
    volatile unsigned long* completed = nullptr; // shared with the children
};

// Learns the two texts a save writes and how long one save takes.
bool SaveSoak::prepare()
{
    void* const shared
        = ::mmap(nullptr, sizeof(unsigned long), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        return false;
    }
    completed = static_cast<unsigned long*>(shared);
    bool exists = false;
    for (int i = 1; i >= 0; --i) {
        if (save(&blocks[i], file.c_str()) != 0) {
            return false;
        }
        texts[i] = readFile(file, exists);
    }
    constexpr int rounds = 20;
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        save(&blocks[i & 1], file.c_str());
    }
    microsPerSave = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / rounds;
    return texts[0] != texts[1] && save(&blocks[0], file.c_str()) == 0;
}

SaveSoak::Writer SaveSoak::moduleSave()
{
    return [this](int which) { return save(&blocks[which], file.c_str()) == 0; };
}

SaveSoak::Writer SaveSoak::namedWrite()
{
    return [this](int which) {
        return vl::config::writeFileAtomically(file, texts[which], std::nullopt, vl::config::TemporaryKind::Named);
    };
}

Tally SaveSoak::run(int kills, const Writer& write)
{
    *completed = 0;
    Tally tally;
    std::mt19937 random(12345);
    // Spread over about three saves, so kills land in every phase of one.
    std::uniform_int_distribution<int> delay(0, static_cast<int>(3 * microsPerSave) + 1);
    for (int k = 0; k < kills; ++k) {
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid < 0) {
            break;
        }
        if (pid == 0) {
            for (unsigned long i = 0;; ++i) {
                if (write(static_cast<int>(i & 1))) {
                    ++*completed;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ++tally.kills;
        inspect(tally);
    }
    return tally;
}

void SaveSoak::inspect(Tally& tally)
{
    bool exists = false;
    const std::string text = readFile(file, exists);
    if (!exists) {
        ++tally.missing;
    } else if (text.empty()) {
        ++tally.empty;
    } else if (text != texts[0] && text != texts[1]) {
        ++tally.torn;
    }
    EncoderSettings loaded = block(0, 0, 0);
    if (load(&loaded, file.c_str()) != 0) {
        ++tally.unloadable;
    }
    tally.mostStray = std::max(tally.mostStray, strayEntries(dir));
}

int SaveSoak::strayAfterOneMoreSave()
{
    save(&blocks[0], file.c_str());
    return strayEntries(dir);
}

} // namespace

int main(int argc, char** argv)
{
    const CommandLine options(argc, argv);
    const int kills = static_cast<int>(options.number("--kills", 1000));
    const std::string libDir = options.text("--lib-dir", VL_SOAK_LIB_DIR);
    std::string scratch = options.text("--dir", "/tmp") + "/vl_soak_saves_XXXXXX";
    if (!::mkdtemp(scratch.data())) {
        std::perror("mkdtemp");
        return 2;
    }

    vl::host::SharedLibrary module(libDir + "/vl_config_mpa.so");
    const auto getApi = module.function<MPAConfigGetAPIExtFunc>("MPAConfigGetAPIExt");
    if (!getApi) {
        std::fprintf(stderr, "soak_saves: %s\n", module.errorString().c_str());
        return 2;
    }
    SaveSoak soak(getApi(VL_CONFIG_API_LOAD), getApi(VL_CONFIG_API_SAVE), scratch);
    if (!soak.prepare()) {
        std::fprintf(stderr, "soak_saves: the first saves in %s failed\n", scratch.c_str());
        return 2;
    }
    bool clean = true;
    const std::pair<const char*, SaveSoak::Writer> phases[] = {
        { "the module's save (unnamed temporary files where the file system has them)", soak.moduleSave() },
        { "the atomic write with named temporary files (the fallback)", soak.namedWrite() },
    };
    for (const auto& [what, writer] : phases) {
        const Tally t = soak.run(kills, writer);
        const int strayAtEnd = strayEntries(scratch);
        const int strayAfterSave = soak.strayAfterOneMoreSave();
        std::printf("killed saves: %d through %s\n", t.kills, what);
        std::printf("  one save takes %.0f us; %lu saves completed between the kills\n", soak.saveMicros(),
            soak.savesCompleted());
        std::printf("  torn files            %d\n", t.torn);
        std::printf("  empty files           %d\n", t.empty);
        std::printf("  missing files         %d\n", t.missing);
        std::printf("  unloadable files      %d\n", t.unloadable);
        std::printf("  leftover files        most after one kill %d, after all kills %d, after one more save %d\n",
            t.mostStray, strayAtEnd, strayAfterSave);
        std::fflush(stdout);
        clean = clean && t.torn == 0 && t.empty == 0 && t.missing == 0 && t.unloadable == 0 && t.mostStray <= 1;
    }
    std::filesystem::remove_all(scratch);
    return clean ? 0 : 1;
}
