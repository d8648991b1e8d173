// The import module through its entry points: its record, result codes, and the fixtures.
#include "fixturetable.h"
#include "moduleloader.h"
#include "mpeginfo.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

const ModuleLoader module(VL_MODULE_DIR "/vl_mfimport" VL_MODULE_SUFFIX);
const auto init = module.resolve<MpegInInfoInitFunc>("mpegInInfoInit");
const auto getInfo = module.resolve<MpegInGetInfoFunc>("mpegInGetInfo");

// A record initialised over garbage.
MpegInInfo initialised()
{
    MpegInInfo info;
    std::memset(&info, 0x77, sizeof info);
    EXPECT_EQ(init ? init(&info) : -1, 0) << module.error();
    return info;
}

// A new record holds every value unknown; bad arguments and a missing file fail cleanly.
TEST(ImportModule, FailsCleanlyWithoutAStream)
{
    ASSERT_TRUE(init && getInfo) << module.error();
    MpegInInfo info = initialised();
    EXPECT_TRUE(info.structSize == sizeof(MpegInInfo) && info.container == VL_CONTAINER_UNKNOWN);
    EXPECT_EQ(info.audioOffset, -1);
    EXPECT_EQ(std::count(std::begin(info.reserved), std::end(info.reserved), 0), int(std::size(info.reserved)));
    EXPECT_NE(init(nullptr), 0);
    const char* const missing = "/nonexistent/missing.mp2";
    EXPECT_EQ(getInfo(nullptr, missing), vl::import::invalidArgument);
    EXPECT_EQ(getInfo(&info, nullptr), vl::import::invalidArgument);
    info.structSize = 0; // never initialised
    EXPECT_EQ(getInfo(&info, missing), vl::import::invalidArgument);
    info = initialised();
    EXPECT_EQ(getInfo(&info, missing), int32_t(vl::probe::Status::OpenFailed));
    EXPECT_EQ(info.layer, -1);
}

using Fixture = testing::TestWithParam<FixtureExpectation>;

// Values the file does not reveal, and all of a failed read, stay unknown.
TEST_P(Fixture, FillsTheRecordOrFailsCleanly)
{
    const FixtureExpectation& f = GetParam();
    ASSERT_TRUE(init && getInfo) << module.error();
    MpegInInfo info = initialised();
    EXPECT_EQ(getInfo(&info, f.path().c_str()), static_cast<int32_t>(f.status));
    EXPECT_EQ(info.container, f.container ? int32_t(*f.container) : info.container);
    const bool ok = f.status == vl::probe::Status::Ok;
    EXPECT_EQ((std::array<int, 11> { info.mpegVersion, info.layer, info.mode, info.bitrateKbps, info.bitrateIndex,
                  info.sampleFrequency, info.emphasis, info.privateBit, info.copyrightBit, info.originalBit,
                  info.errorProtection }),
        (ok ? f : FixtureExpectation {}).numbersOr(-1));
    EXPECT_EQ(info.channels, ok ? (*f.numbers[FixtureExpectation::Mode] == VL_MODE_MONO ? 1 : 2) : -1);
    EXPECT_EQ(info.audioOffset >= 0, f.usableAlone()) << info.audioOffset;
}

INSTANTIATE_TEST_SUITE_P(Corpus, Fixture, testing::ValuesIn(loadFixtureTable()), fixtureName);

} // namespace
