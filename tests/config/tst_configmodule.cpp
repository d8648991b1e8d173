// The built vl_config_mpa.so, loaded by file name as the dialog loads it:
// its function table, and MPEG files read through its load function.
#include "fixturetable.h"

#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <veltrano/mpa_modules.h>

namespace {

class ConfigModule
{
public:
    ConfigModule()
        : m_handle(dlopen(VL_CONFIG_MODULE, RTLD_NOW | RTLD_LOCAL))
    {
        if (m_handle) {
            m_getApi = reinterpret_cast<MPAConfigGetAPIExtFunc>(dlsym(m_handle, "MPAConfigGetAPIExt"));
        }
    }
    ~ConfigModule()
    {
        if (m_handle) {
            dlclose(m_handle);
        }
    }
    ConfigModule(const ConfigModule&) = delete;
    ConfigModule& operator=(const ConfigModule&) = delete;

    bool loaded() const { return m_getApi != nullptr; }
    MPAConfigFileFunc function(int32_t id) const { return m_getApi(id); }

private:
    void* m_handle;
    MPAConfigGetAPIExtFunc m_getApi = nullptr;
};

const ConfigModule& module()
{
    static const ConfigModule instance;
    return instance;
}

EncoderSettings patternBlock()
{
    EncoderSettings s;
    for (size_t i = 0; i < sizeof s; ++i) {
        reinterpret_cast<uint8_t*>(&s)[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    s.psychModel = 1;
    s.audioType = VL_AUDIO_MPEG2_DVD;
    return s;
}

class FunctionTable : public testing::TestWithParam<std::pair<int32_t, bool>>
{
};

TEST_P(FunctionTable, OnlyLoadAndSave)
{
    ASSERT_TRUE(module().loaded()) << dlerror();
    const auto [id, present] = GetParam();
    EXPECT_EQ(module().function(id) != nullptr, present);
}

INSTANTIATE_TEST_SUITE_P(Ids, FunctionTable,
    testing::Values(std::make_pair(0x2001, true), std::make_pair(0x2002, true), std::make_pair(0x2000, false),
        std::make_pair(0x2003, false), std::make_pair(0, false), std::make_pair(-1, false),
        std::make_pair(0x7fffffff, false), std::make_pair(0x1001, false)));

TEST(FunctionTable, LoadAndSaveDiffer)
{
    ASSERT_TRUE(module().loaded());
    EXPECT_NE(module().function(VL_CONFIG_API_LOAD), module().function(VL_CONFIG_API_SAVE));
}

class LoadMpegFile : public testing::TestWithParam<FixtureExpectation>
{
};

// A usable stream sets exactly the header fields; anything else leaves the
// whole block as it was.
TEST_P(LoadMpegFile, SetsTheHeaderFieldsAndNothingElse)
{
    ASSERT_TRUE(module().loaded());
    const FixtureExpectation& f = GetParam();
    const MPAConfigFileFunc load = module().function(VL_CONFIG_API_LOAD);
    EncoderSettings block = patternBlock();
    const int32_t result = load(&block, f.path().c_str());
    EncoderSettings expected = patternBlock();
    if (f.status == vl::probe::Status::Ok) {
        ASSERT_EQ(result, 0);
        auto set = [](int32_t& field, const std::optional<int>& value) {
            if (value) {
                field = *value;
            }
        };
        set(expected.layer, f.layer);
        set(expected.mode, f.mode);
        set(expected.bitrateIndex, f.bitrateIndex);
        set(expected.sampleFrequency, f.sampleFrequency);
        set(expected.emphasis, f.emphasis);
        set(expected.privateBit, f.privateBit);
        set(expected.copyrightBit, f.copyrightBit);
        set(expected.originalBit, f.originalBit);
        set(expected.errorProtection, f.errorProtection);
    } else {
        EXPECT_NE(result, 0);
    }
    EXPECT_EQ(std::memcmp(&block, &expected, sizeof block), 0);
}

INSTANTIATE_TEST_SUITE_P(Corpus, LoadMpegFile, testing::ValuesIn(loadFixtureTable()),
    [](const testing::TestParamInfo<FixtureExpectation>& info) { return fixtureName(info.param); });

// Saving what an MPEG file gave and loading it back gives the same block.
TEST(LoadMpegFile, SavedAsSettingsFileAndBack)
{
    ASSERT_TRUE(module().loaded());
    const MPAConfigFileFunc load = module().function(VL_CONFIG_API_LOAD);
    const MPAConfigFileFunc save = module().function(VL_CONFIG_API_SAVE);
    EncoderSettings fromMpeg = patternBlock();
    ASSERT_EQ(load(&fromMpeg, (std::string(VL_FIXTURE_DIR) + "/ts_192_l2_24k_joint_112.m2t").c_str()), 0);
    char dir[] = "/tmp/vl_config_module_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string file = std::string(dir) + "/from_ts.cfg";
    ASSERT_EQ(save(&fromMpeg, file.c_str()), 0);
    EncoderSettings back = patternBlock();
    ASSERT_EQ(load(&back, file.c_str()), 0);
    EXPECT_EQ(std::memcmp(&back, &fromMpeg, sizeof back), 0);
    unlink(file.c_str());
    rmdir(dir);
}

} // namespace
