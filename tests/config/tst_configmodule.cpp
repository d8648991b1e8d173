// The built vl_config_mpa.so, loaded by file name as the dialog loads it:
// its function table, and MPEG files read through its load function.
#include "fixturetable.h"
#include "moduleloader.h"
#include "tempdir.h"

#include <cstring>
#include <gtest/gtest.h>
#include <veltrano/mpa_modules.h>

namespace {

MPAConfigFileFunc function(int32_t id)
{
    static const ModuleLoader module(VL_CONFIG_MODULE);
    static const auto getApi = module.resolve<MPAConfigGetAPIExtFunc>("MPAConfigGetAPIExt");
    EXPECT_NE(getApi, nullptr) << module.error();
    return getApi ? getApi(id) : nullptr;
}

EncoderSettings patternBlock()
{
    EncoderSettings s;
    for (size_t i = 0; i < sizeof s; ++i)
        reinterpret_cast<uint8_t*>(&s)[i] = static_cast<uint8_t>(i * 7 + 3);
    s.psychModel = 1; // a value a settings file can hold
    return s;
}

TEST(FunctionTable, OnlyLoadAndSave)
{
    for (const int32_t id : { 0x2001, 0x2002 })
        EXPECT_NE(function(id), nullptr) << id;
    for (const int32_t id : { 0x2000, 0x2003, 0, -1, 0x1001 })
        EXPECT_EQ(function(id), nullptr) << id;
}

class LoadMpegFile : public testing::TestWithParam<FixtureExpectation>
{
};

// A usable stream sets exactly the header fields; anything else leaves the
// whole block as it was.
TEST_P(LoadMpegFile, SetsTheHeaderFieldsAndNothingElse)
{
    const FixtureExpectation& f = GetParam();
    ASSERT_NE(function(VL_CONFIG_API_LOAD), nullptr);
    EncoderSettings block = patternBlock();
    const int32_t result = function(VL_CONFIG_API_LOAD)(&block, f.path().c_str());
    EncoderSettings expected = patternBlock();
    EXPECT_EQ(result != 0, f.status != vl::probe::Status::Ok);
    if (result == 0) {
        const std::pair<int32_t&, const std::optional<int>&> fields[]
            = { { expected.layer, f.layer }, { expected.mode, f.mode }, { expected.bitrateIndex, f.bitrateIndex },
                  { expected.sampleFrequency, f.sampleFrequency }, { expected.emphasis, f.emphasis },
                  { expected.privateBit, f.privateBit }, { expected.copyrightBit, f.copyrightBit },
                  { expected.originalBit, f.originalBit }, { expected.errorProtection, f.errorProtection } };
        for (const auto& [field, value] : fields)
            field = value.value_or(field);
    }
    EXPECT_EQ(std::memcmp(&block, &expected, sizeof block), 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, LoadMpegFile, testing::ValuesIn(loadFixtureTable()),
    [](const testing::TestParamInfo<FixtureExpectation>& info) { return fixtureName(info.param); });

// Saving what an MPEG file gave and loading it back gives the same block.
TEST(LoadMpegFile, SavedAsSettingsFileAndBack)
{
    EncoderSettings fromMpeg = patternBlock();
    ASSERT_EQ(
        function(VL_CONFIG_API_LOAD)(&fromMpeg, (std::string(VL_FIXTURE_DIR) + "/ts_192_l2_24k_joint_112.m2t").c_str()),
        0);
    const TempDir dir("vl_config_module_");
    const std::string file = dir.file("from_ts.cfg");
    ASSERT_EQ(function(VL_CONFIG_API_SAVE)(&fromMpeg, file.c_str()), 0);
    EncoderSettings back = patternBlock();
    ASSERT_EQ(function(VL_CONFIG_API_LOAD)(&back, file.c_str()), 0);
    EXPECT_EQ(std::memcmp(&back, &fromMpeg, sizeof back), 0);
}

} // namespace
