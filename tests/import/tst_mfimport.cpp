// The import module: its record, its result codes, and what it reads from the
// shared MPEG fixtures.
#include "fixturetable.h"
#include "moduleloader.h"
#include "mpeginfo.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The entry points of the built module.
struct ImportModule
{
    ModuleLoader module { VL_MODULE_DIR "/vl_mfimport.so" };
    MpegInInfoInitFunc init = module.resolve<MpegInInfoInitFunc>("mpegInInfoInit");
    MpegInGetInfoFunc getInfo = module.resolve<MpegInGetInfoFunc>("mpegInGetInfo");
};

const ImportModule& importModule()
{
    static const ImportModule instance;
    EXPECT_TRUE(instance.init && instance.getInfo) << instance.module.error();
    return instance;
}

MpegInInfo initialised()
{
    MpegInInfo info;
    std::memset(&info, 0x77, sizeof info);
    EXPECT_EQ(importModule().init(&info), 0);
    return info;
}

TEST(ImportModule, InitMarksEveryValueUnknown)
{
    ASSERT_TRUE(importModule().init);
    const MpegInInfo info = initialised();
    EXPECT_EQ(info.structSize, sizeof(MpegInInfo));
    EXPECT_EQ(info.container, VL_CONTAINER_UNKNOWN);
    for (int32_t value :
        { info.mpegVersion, info.layer, info.mode, info.bitrateIndex, info.bitrateKbps, info.sampleFrequency,
            info.emphasis, info.privateBit, info.copyrightBit, info.originalBit, info.errorProtection, info.channels })
        EXPECT_EQ(value, -1);
    EXPECT_EQ(info.audioOffset, -1);
    for (int32_t word : info.reserved) {
        EXPECT_EQ(word, 0);
    }
    EXPECT_NE(importModule().init(nullptr), 0);
}

TEST(ImportModule, FailsCleanlyWithoutAStream)
{
    const MpegInGetInfoFunc getInfo = importModule().getInfo;
    ASSERT_TRUE(getInfo && importModule().init);
    const fs::path dir = fs::temp_directory_path() / ("vl_mfimport_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path missing = dir / "missing.mp2";
    const fs::path garbage = dir / "garbage.mp2";
    {
        std::ofstream out(garbage, std::ios::binary);
        for (int i = 0; i < 20000; ++i)
            out.put(static_cast<char>((i * 37 + 11) & 0x7f)); // never a sync byte
    }
    MpegInInfo info = initialised();
    EXPECT_EQ(getInfo(nullptr, missing.c_str()), vl::import::invalidArgument);
    EXPECT_EQ(getInfo(&info, nullptr), vl::import::invalidArgument);
    info.structSize = 0; // never initialised
    EXPECT_EQ(getInfo(&info, missing.c_str()), vl::import::invalidArgument);

    const std::pair<fs::path, vl::probe::Status> rows[] = { { missing, vl::probe::Status::OpenFailed },
        { dir, vl::probe::Status::OpenFailed }, { garbage, vl::probe::Status::NoAudio } };
    for (const auto& [path, status] : rows) {
        MpegInInfo info = initialised();
        EXPECT_EQ(getInfo(&info, path.c_str()), static_cast<int32_t>(status)) << path;
        EXPECT_EQ(info.layer, -1) << path;
        EXPECT_EQ(info.structSize, sizeof(MpegInInfo));
    }
    fs::remove_all(dir);
}

// ---- The shared fixtures, with the values their encoders were given ------

class Fixture : public testing::TestWithParam<FixtureExpectation>
{
};

TEST_P(Fixture, FillsTheRecordOrFailsCleanly)
{
    const FixtureExpectation& f = GetParam();
    ASSERT_TRUE(importModule().getInfo && importModule().init);
    MpegInInfo info = initialised();
    const int32_t result = importModule().getInfo(&info, f.path().c_str());
    EXPECT_EQ(result, static_cast<int32_t>(f.status));
    if (f.container) {
        EXPECT_EQ(info.container, static_cast<int32_t>(*f.container));
    }
    // Values the file does not reveal, and all values of a failed read, stay
    // unknown.
    const bool ok = f.status == vl::probe::Status::Ok;
    const std::tuple<const std::optional<int>&, int32_t, const char*> fields[]
        = { { f.version, info.mpegVersion, "version" }, { f.layer, info.layer, "layer" }, { f.mode, info.mode, "mode" },
              { f.kbps, info.bitrateKbps, "kbps" }, { f.bitrateIndex, info.bitrateIndex, "index" },
              { f.sampleFrequency, info.sampleFrequency, "frequency" }, { f.emphasis, info.emphasis, "emphasis" },
              { f.privateBit, info.privateBit, "private" }, { f.copyrightBit, info.copyrightBit, "copyright" },
              { f.originalBit, info.originalBit, "original" }, { f.errorProtection, info.errorProtection, "crc" } };
    for (const auto& [expected, value, column] : fields) {
        EXPECT_EQ(value, ok ? expected.value_or(-1) : -1) << column;
    }
    if (ok && f.mode) {
        EXPECT_EQ(info.channels, *f.mode == VL_MODE_MONO ? 1 : 2);
    }
    EXPECT_EQ(info.audioOffset >= 0, f.usableAlone()) << info.audioOffset;
}

INSTANTIATE_TEST_SUITE_P(Corpus, Fixture, testing::ValuesIn(loadFixtureTable()),
    [](const testing::TestParamInfo<FixtureExpectation>& info) { return fixtureName(info.param); });

} // namespace
