// The import module: its record, its result codes, and what it reads from
// elementary streams written here and from the shared MPEG fixtures.
#include "moduleloader.h"
#include "mpeginfo.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ImportModule : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_module = std::make_unique<ModuleLoader>(VL_MODULE_DIR "/vl_mfimport.so");
        s_init = s_module->resolve<MpegInInfoInitFunc>("mpegInInfoInit");
        s_getInfo = s_module->resolve<MpegInGetInfoFunc>("mpegInGetInfo");
        s_dir = fs::temp_directory_path() / ("vl_mfimport_" + std::to_string(::getpid()));
        fs::create_directories(s_dir);
    }
    static void TearDownTestSuite()
    {
        s_module.reset();
        std::error_code ignored;
        fs::remove_all(s_dir, ignored);
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_module->isLoaded()) << s_module->error();
        ASSERT_NE(s_init, nullptr);
        ASSERT_NE(s_getInfo, nullptr);
    }

    static MpegInInfo initialised()
    {
        MpegInInfo info;
        std::memset(&info, 0x77, sizeof info);
        EXPECT_EQ(s_init(&info), 0);
        return info;
    }

    static std::unique_ptr<ModuleLoader> s_module;
    static MpegInInfoInitFunc s_init;
    static MpegInGetInfoFunc s_getInfo;
    static fs::path s_dir;
};

std::unique_ptr<ModuleLoader> ImportModule::s_module;
MpegInInfoInitFunc ImportModule::s_init = nullptr;
MpegInGetInfoFunc ImportModule::s_getInfo = nullptr;
fs::path ImportModule::s_dir;

TEST_F(ImportModule, InitMarksEveryValueUnknown)
{
    const MpegInInfo info = initialised();
    EXPECT_EQ(info.structSize, sizeof(MpegInInfo));
    EXPECT_EQ(info.container, VL_CONTAINER_UNKNOWN);
    for (int32_t value :
        { info.mpegVersion, info.layer, info.mode, info.bitrateIndex, info.bitrateKbps, info.sampleFrequency,
            info.emphasis, info.privateBit, info.copyrightBit, info.originalBit, info.errorProtection, info.channels })
        EXPECT_EQ(value, -1);
    EXPECT_EQ(info.audioOffset, -1);
    for (int32_t word : info.reserved)
        EXPECT_EQ(word, 0);
    EXPECT_NE(s_init(nullptr), 0);
}

TEST_F(ImportModule, RefusesBadArguments)
{
    const std::string missing = (s_dir / "missing.mp2").string();
    MpegInInfo info = initialised();
    EXPECT_EQ(s_getInfo(nullptr, missing.c_str()), vl::import::kInvalidArgument);
    EXPECT_EQ(s_getInfo(&info, nullptr), vl::import::kInvalidArgument);
    info.structSize = 0; // never initialised
    EXPECT_EQ(s_getInfo(&info, missing.c_str()), vl::import::kInvalidArgument);
}

TEST_F(ImportModule, ReportsFilesWithoutAStream)
{
    const fs::path garbage = s_dir / "garbage.mp2";
    {
        std::ofstream out(garbage, std::ios::binary);
        for (int i = 0; i < 20000; ++i)
            out.put(static_cast<char>((i * 37 + 11) & 0x7f)); // never a sync byte
    }
    const std::pair<fs::path, vl::probe::Status> rows[] = {
        { s_dir / "missing.mp2", vl::probe::Status::OpenFailed },
        { s_dir, vl::probe::Status::OpenFailed },
        { garbage, vl::probe::Status::NoAudio },
    };
    for (const auto& [path, status] : rows) {
        MpegInInfo info = initialised();
        EXPECT_EQ(s_getInfo(&info, path.string().c_str()), static_cast<int32_t>(status)) << path;
        EXPECT_EQ(info.layer, -1) << path;
        EXPECT_EQ(info.structSize, sizeof(MpegInInfo));
    }
}

// ---- Elementary streams written here ----------------------------------------

struct StreamCase
{
    const char* name;
    int mpegVersion; // 1 or 2 (lower sampling frequencies)
    int layer;
    int mode;
    int bitrateIndex;
    int bitrateKbps;
    int sampleFrequency;
    int emphasis;
    bool privateBit;
    bool copyrightBit;
    bool originalBit;
};

void PrintTo(const StreamCase& c, std::ostream* os)
{
    *os << c.name;
}

int frequencyCode(int version, int hertz)
{
    const int mpeg1[] = { 44100, 48000, 32000 };
    const int lsf[] = { 22050, 24000, 16000 };
    for (int code = 0; code < 3; ++code) {
        if ((version == 1 ? mpeg1 : lsf)[code] == hertz)
            return code;
    }
    return 3;
}

// Frames of silence: a header as ISO/IEC 11172-3 lays it out (12-bit sync, ID bit), without
// CRC and padding, and a payload of zeros (no bits allocated).
std::string elementaryStream(const StreamCase& c, int frames)
{
    const int frameBytes = c.layer == 1 ? 12 * c.bitrateKbps * 1000 / c.sampleFrequency * 4
                                        : 144 * c.bitrateKbps * 1000 / c.sampleFrequency;
    std::string frame(static_cast<std::size_t>(frameBytes), '\0');
    frame[0] = static_cast<char>(0xff);
    frame[1] = static_cast<char>(0xf0 | (c.mpegVersion == 1 ? 0x08 : 0) | ((4 - c.layer) << 1) | 0x01);
    frame[2] = static_cast<char>(
        (c.bitrateIndex << 4) | (frequencyCode(c.mpegVersion, c.sampleFrequency) << 2) | (c.privateBit ? 1 : 0));
    frame[3] = static_cast<char>((c.mode << 6) | (c.copyrightBit ? 0x08 : 0) | (c.originalBit ? 0x04 : 0) | c.emphasis);
    std::string stream;
    for (int i = 0; i < frames; ++i)
        stream += frame;
    return stream;
}

const StreamCase kStreams[] = {
    { "Mpeg1Layer2Stereo224", 1, 2, 0, 11, 224, 48000, 0, false, false, true },
    { "Mpeg1Layer2Joint384", 1, 2, 1, 14, 384, 44100, 1, true, false, false },
    { "Mpeg1Layer2Mono32", 1, 2, 3, 1, 32, 32000, 3, false, true, true },
    { "Mpeg1Layer1Dual448", 1, 1, 2, 14, 448, 48000, 0, true, true, true },
    { "LsfLayer2Mono8", 2, 2, 3, 1, 8, 16000, 0, false, false, false },
    { "LsfLayer2Stereo160", 2, 2, 0, 14, 160, 24000, 1, false, true, false },
    { "LsfLayer1Joint256", 2, 1, 1, 14, 256, 22050, 3, true, false, true },
};

class WrittenStreams : public ImportModule, public testing::WithParamInterface<StreamCase>
{
};

TEST_P(WrittenStreams, DescribeTheFirstFrame)
{
    const StreamCase& c = GetParam();
    const fs::path path = s_dir / (std::string(c.name) + ".mpa");
    {
        std::ofstream out(path, std::ios::binary);
        out << elementaryStream(c, 24);
    }
    MpegInInfo info = initialised();
    ASSERT_EQ(s_getInfo(&info, path.string().c_str()), 0);
    EXPECT_EQ(info.container, VL_CONTAINER_ELEMENTARY);
    EXPECT_EQ(info.mpegVersion, c.mpegVersion);
    EXPECT_EQ(info.layer, c.layer);
    EXPECT_EQ(info.mode, c.mode);
    EXPECT_EQ(info.bitrateIndex, c.bitrateIndex);
    EXPECT_EQ(info.bitrateKbps, c.bitrateKbps);
    EXPECT_EQ(info.sampleFrequency, c.sampleFrequency);
    EXPECT_EQ(info.emphasis, c.emphasis);
    EXPECT_EQ(info.privateBit, c.privateBit ? 1 : 0);
    EXPECT_EQ(info.copyrightBit, c.copyrightBit ? 1 : 0);
    EXPECT_EQ(info.originalBit, c.originalBit ? 1 : 0);
    EXPECT_EQ(info.errorProtection, 0);
    EXPECT_EQ(info.channels, c.mode == 3 ? 1 : 2);
    EXPECT_EQ(info.audioOffset, 0);
}

INSTANTIATE_TEST_SUITE_P(Elementary, WrittenStreams, testing::ValuesIn(kStreams),
    [](const testing::TestParamInfo<StreamCase>& info) { return info.param.name; });

// ---- The shared fixtures, with the values their encoders were given ------

struct FixtureRow
{
    std::string file;
    std::map<std::string, std::string> values; // column name -> value, "-" when not checked
};

std::vector<FixtureRow> fixtureRows()
{
    std::vector<FixtureRow> rows;
    std::ifstream in(fs::path(VL_FIXTURE_DIR) / "expected.tsv");
    std::vector<std::string> columns;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> cells;
        std::istringstream split(line);
        for (std::string cell; std::getline(split, cell, '\t');)
            cells.push_back(cell);
        if (columns.empty()) {
            columns = cells;
            continue;
        }
        FixtureRow row { cells.at(0), {} };
        for (std::size_t i = 1; i < cells.size() && i < columns.size(); ++i)
            row.values[columns[i]] = cells[i];
        rows.push_back(std::move(row));
    }
    return rows;
}

TEST_F(ImportModule, AgreesWithTheFixturesExpectations)
{
    const std::vector<FixtureRow> rows = fixtureRows();
    if (rows.empty())
        GTEST_SKIP() << "no MPEG fixtures in " << VL_FIXTURE_DIR;

    const std::map<std::string, int32_t> statuses = {
        { "ok", 0 },
        { "no-audio", static_cast<int32_t>(vl::probe::Status::NoAudio) },
        { "unsupported-layer", static_cast<int32_t>(vl::probe::Status::UnsupportedLayer) },
        { "free-format", static_cast<int32_t>(vl::probe::Status::FreeFormat) },
        { "reserved-value", static_cast<int32_t>(vl::probe::Status::ReservedValue) },
        { "malformed", static_cast<int32_t>(vl::probe::Status::Malformed) },
    };
    const std::map<std::string, int32_t> containers = {
        { "elementary", VL_CONTAINER_ELEMENTARY },
        { "program", VL_CONTAINER_PROGRAM_STREAM },
        { "transport", VL_CONTAINER_TRANSPORT_STREAM },
        { "iso", VL_CONTAINER_ISO_MEDIA },
        { "mxf", VL_CONTAINER_MXF },
        { "dvd", VL_CONTAINER_DVD_IFO },
    };
    int described = 0;
    for (const FixtureRow& row : rows) {
        SCOPED_TRACE(row.file);
        const std::string path = (fs::path(VL_FIXTURE_DIR) / row.file).string();
        MpegInInfo info = initialised();
        const int32_t result = s_getInfo(&info, path.c_str());
        ASSERT_EQ(statuses.count(row.values.at("status")), 1u);
        EXPECT_EQ(result, statuses.at(row.values.at("status")));
        if (containers.count(row.values.at("container"))) {
            EXPECT_EQ(info.container, containers.at(row.values.at("container")));
        }
        if (result != 0)
            continue;
        ++described;
        const std::pair<const char*, int32_t> fields[] = {
            { "version", info.mpegVersion },
            { "layer", info.layer },
            { "mode", info.mode },
            { "kbps", info.bitrateKbps },
            { "index", info.bitrateIndex },
            { "rate", info.sampleFrequency },
            { "emphasis", info.emphasis },
            { "private", info.privateBit },
            { "copyright", info.copyrightBit },
            { "original", info.originalBit },
            { "crc", info.errorProtection },
        };
        for (const auto& [column, value] : fields) {
            const std::string expected = row.values.at(column);
            // Values the file does not reveal stay unknown.
            EXPECT_EQ(value, expected == "-" ? -1 : std::stoi(expected)) << column;
        }
    }
    EXPECT_GT(described, 0);
}

// ---- Mapping of probe results -----------------------------------------------

TEST(FillInfo, ReturnsTheProbeStatusAndKeepsTheContainer)
{
    using vl::probe::Status;
    for (Status status : { Status::OpenFailed, Status::ReadFailed, Status::NoAudio, Status::UnsupportedLayer,
             Status::FreeFormat, Status::ReservedValue, Status::Malformed }) {
        vl::probe::ProbeResult result;
        result.status = status;
        result.container = vl::probe::Container::TransportStream;
        result.audio.fields = vl::probe::FieldAll;
        result.audio.layer = 2;
        MpegInInfo info;
        EXPECT_EQ(vl::import::fillInfo(info, result), static_cast<int32_t>(status));
        EXPECT_NE(static_cast<int32_t>(status), 0);
        EXPECT_EQ(info.container, VL_CONTAINER_TRANSPORT_STREAM);
        EXPECT_EQ(info.layer, -1) << "values of a failed probe must not leak";
    }
}

TEST(FillInfo, LeavesUnrevealedFieldsUnknown)
{
    // What a DVD IFO without its VOB reveals: layer, rate and channels.
    vl::probe::ProbeResult result;
    result.status = vl::probe::Status::Ok;
    result.container = vl::probe::Container::DvdIfo;
    result.audio.fields = vl::probe::FieldLayer | vl::probe::FieldSampleFrequency;
    result.audio.mpegVersion = 1;
    result.audio.layer = 2;
    result.audio.sampleFrequency = 48000;
    result.audio.channels = 2;
    result.audio.bitrateIndex = 11; // not flagged, so not to be trusted
    result.audio.emphasis = 1;
    MpegInInfo info;
    ASSERT_EQ(vl::import::fillInfo(info, result), 0);
    EXPECT_EQ(info.container, VL_CONTAINER_DVD_IFO);
    EXPECT_EQ(info.layer, 2);
    EXPECT_EQ(info.mpegVersion, 1);
    EXPECT_EQ(info.sampleFrequency, 48000);
    EXPECT_EQ(info.channels, 2);
    for (int32_t unknown : { info.mode, info.bitrateIndex, info.bitrateKbps, info.emphasis, info.privateBit,
             info.copyrightBit, info.originalBit, info.errorProtection })
        EXPECT_EQ(unknown, -1);
    EXPECT_EQ(info.audioOffset, -1);
}

} // namespace
