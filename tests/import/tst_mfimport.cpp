// The import module through its entry points: its record, its result codes,
// and what it reads from the shared MPEG fixtures.
#include "fixturetable.h"
#include "moduleloader.h"
#include "mpeginfo.h"
#include "tempdir.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

struct ImportModule
{
    ModuleLoader module { VL_MODULE_DIR "/vl_mfimport" VL_MODULE_SUFFIX };
    MpegInInfoInitFunc init = module.resolve<MpegInInfoInitFunc>("mpegInInfoInit");
    MpegInGetInfoFunc getInfo = module.resolve<MpegInGetInfoFunc>("mpegInGetInfo");
};

const ImportModule& importModule()
{
    static const ImportModule instance;
    EXPECT_TRUE(instance.init && instance.getInfo) << instance.module.error();
    return instance;
}

// A record initialised over garbage: every value unknown, reserved words 0.
MpegInInfo initialised()
{
    MpegInInfo info;
    std::memset(&info, 0x77, sizeof info);
    EXPECT_EQ(importModule().init(&info), 0);
    return info;
}

TEST(ImportModule, FailsCleanlyWithoutAStream)
{
    ASSERT_TRUE(importModule().init && importModule().getInfo);
    MpegInInfo info = initialised();
    EXPECT_EQ(info.structSize, sizeof(MpegInInfo));
    EXPECT_EQ(info.container, VL_CONTAINER_UNKNOWN);
    EXPECT_EQ(info.audioOffset, -1);
    for (const int32_t word : info.reserved)
        EXPECT_EQ(word, 0);
    EXPECT_NE(importModule().init(nullptr), 0);

    const TempDir dir("vl_mfimport_");
    const std::string missingFile = dir.file("missing.mp2");
    const char* const missing = missingFile.c_str();
    EXPECT_EQ(importModule().getInfo(nullptr, missing), vl::import::invalidArgument);
    EXPECT_EQ(importModule().getInfo(&info, nullptr), vl::import::invalidArgument);
    info.structSize = 0; // never initialised
    EXPECT_EQ(importModule().getInfo(&info, missing), vl::import::invalidArgument);
    for (const char* path : { missing, dir.path().c_str() }) {
        info = initialised();
        EXPECT_EQ(importModule().getInfo(&info, path), int32_t(vl::probe::Status::OpenFailed)) << path;
        EXPECT_EQ(info.layer, -1) << path;
    }
}

class Fixture : public testing::TestWithParam<FixtureExpectation>
{
};

// Values the file does not reveal, and all values of a failed read, stay
// unknown.
TEST_P(Fixture, FillsTheRecordOrFailsCleanly)
{
    const FixtureExpectation& f = GetParam();
    ASSERT_TRUE(importModule().init && importModule().getInfo);
    MpegInInfo info = initialised();
    EXPECT_EQ(importModule().getInfo(&info, f.path().c_str()), static_cast<int32_t>(f.status));
    if (f.container)
        EXPECT_EQ(info.container, static_cast<int32_t>(*f.container));
    const bool ok = f.status == vl::probe::Status::Ok;
    const std::pair<const std::optional<int>&, int32_t> fields[] = {
        { f.version, info.mpegVersion },
        { f.layer, info.layer },
        { f.mode, info.mode },
        { f.kbps, info.bitrateKbps },
        { f.bitrateIndex, info.bitrateIndex },
        { f.sampleFrequency, info.sampleFrequency },
        { f.emphasis, info.emphasis },
        { f.privateBit, info.privateBit },
        { f.copyrightBit, info.copyrightBit },
        { f.originalBit, info.originalBit },
        { f.errorProtection, info.errorProtection },
    };
    for (const auto& [expected, value] : fields)
        EXPECT_EQ(value, ok ? expected.value_or(-1) : -1);
    if (ok && f.mode)
        EXPECT_EQ(info.channels, *f.mode == VL_MODE_MONO ? 1 : 2);
    EXPECT_EQ(info.audioOffset >= 0, f.usableAlone()) << info.audioOffset;
}

INSTANTIATE_TEST_SUITE_P(Corpus, Fixture, testing::ValuesIn(loadFixtureTable()),
    [](const testing::TestParamInfo<FixtureExpectation>& info) { return fixtureName(info.param); });

} // namespace
