// The built vl_config_mpa.so, loaded by file name as the dialog loads it:
// its function table, and MPEG files read through its load function.
#include "fixturetable.h"
#include "moduleloader.h"

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

// A recognisable byte in every place, and a model a settings file can hold.
EncoderSettings patternBlock()
{
    EncoderSettings s;
    std::memset(&s, 0x5c, sizeof s);
    s.psychModel = 1;
    return s;
}

TEST(FunctionTable, OnlyLoadAndSave)
{
    for (const int32_t id : { 0x2000, 0x2001, 0x2002, 0x2003, 0, -1, 0x1001 })
        EXPECT_EQ(function(id) != nullptr, id == 0x2001 || id == 0x2002) << id;
}

using LoadMpegFile = testing::TestWithParam<FixtureExpectation>;

// A usable stream sets exactly the header fields; anything else leaves the
// whole block as it was.
TEST_P(LoadMpegFile, SetsTheHeaderFieldsAndNothingElse)
{
    const FixtureExpectation& f = GetParam();
    ASSERT_NE(function(VL_CONFIG_API_LOAD), nullptr);
    EncoderSettings block = patternBlock();
    const int32_t result = function(VL_CONFIG_API_LOAD)(&block, f.path().c_str());
    EXPECT_EQ(result != 0, f.status != vl::probe::Status::Ok);
    EncoderSettings expected = patternBlock();
    const std::pair<int32_t&, const std::optional<int>&> fields[]
        = { { expected.layer, f.layer }, { expected.mode, f.mode }, { expected.bitrateIndex, f.bitrateIndex },
              { expected.sampleFrequency, f.sampleFrequency }, { expected.emphasis, f.emphasis },
              { expected.privateBit, f.privateBit }, { expected.copyrightBit, f.copyrightBit },
              { expected.originalBit, f.originalBit }, { expected.errorProtection, f.errorProtection } };
    for (const auto& [field, value] : fields)
        field = result == 0 ? value.value_or(field) : field;
    EXPECT_EQ(std::memcmp(&block, &expected, sizeof block), 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, LoadMpegFile, testing::ValuesIn(loadFixtureTable()), fixtureName);

} // namespace
