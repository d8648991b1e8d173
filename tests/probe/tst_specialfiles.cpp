// Paths that are not regular files, as the file probed and as the VOB beside
// a DVD IFO: the probe returns at once and reads next to nothing from them.
#include "fixturetable.h"
#include "nonblocking.h"
#include "rowname.h"
#include "tempdir.h"

#include <filesystem>
#include <sys/stat.h>

using namespace vl::probe;
namespace fs = std::filesystem;

namespace {

using SpecialRow = std::pair<const char*, void (*)(const fs::path&)>;

const SpecialRow specialRows[] = {
    { "fifo", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); } },
    { "directory", [](const fs::path& p) { fs::create_directory(p); } },
    { "zero_device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); } },
    { "random_device", [](const fs::path& p) { fs::create_symlink("/dev/urandom", p); } },
    { "dangling_link", [](const fs::path& p) { fs::create_symlink(p.parent_path() / "nowhere", p); } },
};

class SpecialFile : public testing::TestWithParam<SpecialRow>
{
protected:
    // The probe of `file`, which must not wait for a writer on `special`.
    ProbeResult probe(const fs::path& file, const fs::path& special)
    {
        ProbeResult r;
        EXPECT_TRUE(returnsWithoutBlocking([&] { r = probeFile(file.c_str()); }, special));
        EXPECT_LE(r.bytesRead, 16u * 1024);
        return r;
    }

    const TempDir temp;
    const fs::path dir { temp.path() };
};

TEST_P(SpecialFile, ProbedPathFailsAtOnce)
{
    GetParam().second(dir / "input.mp2");
    EXPECT_EQ(probe(dir / "input.mp2", dir / "input.mp2").status, Status::OpenFailed);
}

// The IFO alone still tells what it knows, as when the VOB is missing.
TEST_P(SpecialFile, VobBesideAnIfoIsPassedOver)
{
    fs::copy_file(std::string(VL_FIXTURE_DIR) + "/dvd/VIDEO_TS/VTS_01_0.IFO", dir / "VTS_01_0.IFO");
    GetParam().second(dir / "VTS_01_1.VOB");
    const ProbeResult r = probe(dir / "VTS_01_0.IFO", dir / "VTS_01_1.VOB");
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_EQ(r.audio.fields, FieldLayer | FieldSampleFrequency | FieldMode);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialFile, testing::ValuesIn(specialRows), RowName());

} // namespace
