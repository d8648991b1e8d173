// Paths that are not regular files, as the file probed and as the VOB beside
// a DVD IFO: the probe returns at once and never reads from them. Each probe
// runs in a child process with a deadline, so a probe that blocks fails the
// row instead of hanging the test.
#include "fixturetable.h"
#include "tempdir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vl::probe;
namespace fs = std::filesystem;

namespace {

struct SpecialPath
{
    const char* name;
    void (*make)(const fs::path& path);
};

void PrintTo(const SpecialPath& p, std::ostream* os)
{
    *os << p.name;
}

const SpecialPath specialPaths[] = {
    { "fifo", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); } },
    { "directory", [](const fs::path& p) { fs::create_directory(p); } },
    { "zero_device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); } },
    { "random_device", [](const fs::path& p) { fs::create_symlink("/dev/urandom", p); } },
    { "dangling_link", [](const fs::path& p) { fs::create_symlink(p.parent_path() / "nowhere", p); } },
};

// What a probe in a child process gave: its status, or -1 when it did not
// finish within the deadline or died.
struct ChildProbe
{
    int status = -1;
    uint32_t fields = 0;
};

ChildProbe probeInChild(const fs::path& path)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        alarm(5);
        const ProbeResult r = probeFile(path.c_str());
        const ChildProbe out { static_cast<int>(r.status), r.status == Status::Ok ? r.audio.fields : 0 };
        const bool sent = write(pipeFds[1], &out, sizeof out) == static_cast<ssize_t>(sizeof out);
        _exit(sent && r.bytesRead <= 16 * 1024 ? 0 : 1);
    }
    close(pipeFds[1]);
    ChildProbe result;
    const bool received = read(pipeFds[0], &result, sizeof result) == static_cast<ssize_t>(sizeof result);
    close(pipeFds[0]);
    int wait = 0;
    waitpid(pid, &wait, 0);
    return received && WIFEXITED(wait) && WEXITSTATUS(wait) == 0 ? result : ChildProbe {};
}

class SpecialFile : public testing::TestWithParam<SpecialPath>
{
protected:
    const TempDir temp { "vl_special_" };
    const fs::path dir { temp.path() };
};

TEST_P(SpecialFile, ProbedPathFailsAtOnce)
{
    const fs::path path = dir / "input.mp2";
    GetParam().make(path);
    EXPECT_EQ(probeInChild(path).status, static_cast<int>(Status::OpenFailed));
}

// The IFO alone still tells what it knows, as when the VOB is missing.
TEST_P(SpecialFile, VobBesideAnIfoIsPassedOver)
{
    fs::copy_file(std::string(VL_FIXTURE_DIR) + "/dvd/VIDEO_TS/VTS_01_0.IFO", dir / "VTS_01_0.IFO");
    GetParam().make(dir / "VTS_01_1.VOB");
    const ChildProbe r = probeInChild(dir / "VTS_01_0.IFO");
    EXPECT_EQ(r.status, static_cast<int>(Status::Ok));
    EXPECT_EQ(r.fields, FieldLayer | FieldSampleFrequency | FieldMode);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialFile, testing::ValuesIn(specialPaths),
    [](const testing::TestParamInfo<SpecialPath>& info) { return std::string(info.param.name); });

} // namespace
