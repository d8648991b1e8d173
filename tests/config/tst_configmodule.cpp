// The built settings module as the dialog loads it: its table and its reading of MPEG files.
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
constexpr int32_t pattern = 0x5c5c5c5c;
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

// A usable stream sets exactly the header fields; anything else changes nothing.
TEST_P(LoadMpegFile, SetsTheHeaderFieldsAndNothingElse)
{
    const FixtureExpectation& f = GetParam();
    ASSERT_NE(function(VL_CONFIG_API_LOAD), nullptr);
    EncoderSettings block = patternBlock(), expected = patternBlock();
    const bool loaded = function(VL_CONFIG_API_LOAD)(&block, f.path().c_str()) == 0;
    EXPECT_EQ(loaded, f.status == vl::probe::Status::Ok);
    const std::array<int, 11> n = f.numbersOr(pattern); // version and kbps have no field
    if (loaded)
        std::tie(expected.layer, expected.mode, expected.bitrateIndex, expected.sampleFrequency, expected.emphasis,
            expected.privateBit, expected.copyrightBit, expected.originalBit, expected.errorProtection)
            = std::tie(n[1], n[2], n[4], n[5], n[6], n[7], n[8], n[9], n[10]);
    EXPECT_EQ(std::memcmp(&block, &expected, sizeof block), 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, LoadMpegFile, testing::ValuesIn(loadFixtureTable()), fixtureName);

} // namespace
