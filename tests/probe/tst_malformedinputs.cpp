// Inputs a reader must survive: cut, garbage, empty, huge and sparse, and
// containers whose structure lies.
#include "fixturetable.h"
#include "tempdir.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <probe/boundedreader.h>
#include <probe/memorysource.h>
#include <probe/transportstreamreader.h>
#include <random>

using namespace vl::probe;

namespace {

constexpr uint64_t mebibyte = 1024 * 1024;

// A temporary file holding `head`, extended (sparsely where the file system
// can) to `size`; removed with the object.
class TempFile
{
public:
    explicit TempFile(const std::vector<uint8_t>& head = {}, uint64_t size = 0)
        : filePath(dir.file("input"))
    {
        std::ofstream(filePath, std::ios::binary).write(reinterpret_cast<const char*>(head.data()), head.size());
        std::filesystem::resize_file(filePath, std::max<uint64_t>(size, head.size()));
    }

    const char* path() const { return filePath.c_str(); }

private:
    const TempDir dir { "vl_probe_" };
    const std::string filePath;
};

bool sameParameters(const AudioParams& a, const AudioParams& b)
{
    return a.layer == b.layer && a.mpegVersion == b.mpegVersion && a.bitrateIndex == b.bitrateIndex
        && a.sampleFrequency == b.sampleFrequency && a.emphasis == b.emphasis && a.privateBit == b.privateBit
        && a.copyrightBit == b.copyrightBit && a.originalBit == b.originalBit && a.errorProtection == b.errorProtection;
}

std::vector<uint8_t> fixtureBytes(const std::string& name)
{
    return readFileBytes(std::string(VL_FIXTURE_DIR) + "/" + name);
}

class Truncated : public testing::TestWithParam<FixtureExpectation>
{
};

// A file cut anywhere either still gives the true parameters or fails; it
// never gives other parameters. (The mode may legitimately differ: fewer
// frames are left to show joint stereo.)
TEST_P(Truncated, NeverGivesWrongParameters)
{
    const std::vector<uint8_t> bytes = readFileBytes(GetParam().path());
    const ProbeResult full = probeMemory(bytes.data(), bytes.size());
    ASSERT_EQ(full.status, Status::Ok);
    std::vector<size_t> cuts = { 0, 1, 2, 3, 4, 7, 12, 100, 188, 1000, 2048, 4096, bytes.size() - 1 };
    for (size_t k = 1; k < 16; ++k)
        cuts.push_back(bytes.size() * k / 16);
    for (const size_t cut : cuts) {
        if (cut >= bytes.size())
            continue;
        const ProbeResult r = probeMemory(bytes.data(), cut);
        if (r.status == Status::Ok) {
            EXPECT_TRUE(sameParameters(r.audio, full.audio)) << "cut at " << cut;
        }
        EXPECT_LE(r.bytesRead, 4 * mebibyte);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, Truncated,
    testing::ValuesIn(loadFixtureTable([](const FixtureExpectation& f) { return f.usableAlone(); })), fixtureName);

TEST(Garbage, IsNotAudio)
{
    for (const auto& [seed, size] :
        { std::pair(1u, size_t(1)), { 2u, 17 }, { 3u, 4096 }, { 4u, 70000 }, { 5u, 3 * mebibyte } }) {
        std::mt19937 random(seed);
        std::vector<uint8_t> bytes(size);
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(random());
        const ProbeResult r = probeMemory(bytes.data(), bytes.size());
        EXPECT_NE(r.status, Status::Ok) << "seed " << seed;
        EXPECT_LE(r.bytesRead, 4 * mebibyte);
    }
}

TEST(NothingToRead, EmptyOrMissingInputFails)
{
    TempFile empty;
    const ProbeResult r = probeFile(empty.path());
    EXPECT_EQ(r.status, Status::NoAudio);
    EXPECT_EQ(r.bytesRead, 0u);
    EXPECT_EQ(probeMemory(nullptr, 0).status, Status::NoAudio);
    for (const char* path : { "/nonexistent/dir/file.mp2", "/tmp", "", static_cast<const char*>(nullptr) }) {
        EXPECT_EQ(probeFile(path).status, Status::OpenFailed) << (path ? path : "null");
    }
}

// A 2 GiB file with a valid head and a sparse tail costs what its head costs.
class SparseTail : public testing::TestWithParam<std::string>
{
};

TEST_P(SparseTail, ReadsOnlyTheHead)
{
    const std::string path = std::string(VL_FIXTURE_DIR) + "/" + GetParam();
    const ProbeResult small = probeFile(path.c_str());
    ASSERT_EQ(small.status, Status::Ok);
    const TempFile file(readFileBytes(path), 2048 * mebibyte);
    const ProbeResult big = probeFile(file.path());
    ASSERT_EQ(big.status, Status::Ok);
    EXPECT_TRUE(sameParameters(big.audio, small.audio));
    EXPECT_LE(big.bytesRead, 1 * mebibyte);
}

INSTANTIATE_TEST_SUITE_P(Heads, SparseTail,
    testing::Values("es_l2_48k_stereo_192.mp2", "ts_188_l2_48k_256.ts", "ps_mpeg2_l2_48k_joint_224.m2p",
        "mp4_moov_front_l2_44k_joint_160.mp4", "mxf_l2_48k_joint_192.mxf"));

// Without audio in the head, the search gives up after a few MiB.
TEST(SparseWithoutAudio, StaysBounded)
{
    const std::vector<uint8_t> heads[]
        = { { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0 }, { 0, 0, 1, 0xba, 0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xc3, 0xf8 },
              { 0x47, 0x40, 0, 0x10 }, { 0, 0, 0, 0x18, 'f', 't', 'y', 'p' } };
    for (const std::vector<uint8_t>& head : heads) {
        const TempFile file(head, 2048 * mebibyte);
        const ProbeResult r = probeFile(file.path());
        EXPECT_NE(r.status, Status::Ok) << int(head[3]);
        EXPECT_LE(r.bytesRead, 4 * mebibyte);
    }
}

// ---- containers that lie about themselves ------------------------------------

// A fixture with `patch` written at `at` bytes past the first `anchor` (or
// the start), cut to `cut` bytes unless 0. Without a status, any failure does.
struct LieCase
{
    const char* name;
    const char* fixture;
    const char* anchor;
    size_t at;
    std::vector<uint8_t> patch;
    size_t cut;
    std::optional<Status> status;
};

const LieCase lies[] = {
    { "iso_chunk_offset_count_beyond_its_box", "mp4_moov_front_l2_44k_joint_160.mp4", "stco", 8, { 0x40, 0, 0, 0 }, 0,
        Status::Malformed },
    // Its only track is audio.
    { "iso_chunk_offset_beyond_the_file", "mp4_moov_end_l2_22k_mono_48.m4p", "stco", 12, { 0xff, 0xff, 0xff, 0xf0 }, 0,
        std::nullopt },
    // Nine length bytes follow: more than BER allows.
    { "mxf_overlong_ber_length", "mxf_l2_48k_joint_192.mxf", "", 16, { 0x89 }, 0, Status::Malformed },
    { "mxf_length_beyond_the_file", "mxf_l2_48k_joint_192.mxf", "", 16,
        { 0x88, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff }, 0, std::nullopt },
    { "dvd_more_audio_streams_than_the_format_has", "dvd_ifo_only/VTS_01_0.IFO", "", 0x202, { 0, 9 }, 0,
        Status::Malformed },
    { "dvd_cut_before_the_audio_attributes", "dvd_ifo_only/VTS_01_0.IFO", "", 0, {}, 0x210, std::nullopt },
};

class LyingContainer : public testing::TestWithParam<LieCase>
{
};

TEST_P(LyingContainer, IsNotTakenForAudio)
{
    const LieCase& c = GetParam();
    std::vector<uint8_t> bytes = fixtureBytes(c.fixture);
    const size_t anchor = static_cast<size_t>(
        std::search(bytes.begin(), bytes.end(), c.anchor, c.anchor + std::strlen(c.anchor)) - bytes.begin());
    ASSERT_LE(anchor + c.at + c.patch.size(), bytes.size());
    std::copy(c.patch.begin(), c.patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(anchor + c.at));
    const Status status = probeMemory(bytes.data(), c.cut ? c.cut : bytes.size()).status;
    if (c.status) {
        EXPECT_EQ(status, *c.status) << statusText(status);
    } else {
        EXPECT_NE(status, Status::Ok);
    }
}

INSTANTIATE_TEST_SUITE_P(Patched, LyingContainer, testing::ValuesIn(lies),
    [](const testing::TestParamInfo<LieCase>& info) { return std::string(info.param.name); });

void putBe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value, const char* type)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
    std::memcpy(&bytes[at + 4], type, 4);
}

TEST(LyingIsoMedia, DeeplyNestedBoxesDoNotExhaustTheStack)
{
    // moov > trak > mdia > mdia > ... nested 100000 deep.
    const uint32_t depth = 100000;
    std::vector<uint8_t> bytes(16 + 8 * depth);
    putBe32(bytes, 0, 8 + 8 + 8 * depth, "moov");
    putBe32(bytes, 8, 8 + 8 * depth, "trak");
    for (uint32_t i = 0; i < depth; ++i)
        putBe32(bytes, 16 + 8 * i, 8 * (depth - i), "mdia");
    EXPECT_EQ(probeMemory(bytes.data(), bytes.size()).status, Status::NoAudio);
}

TEST(LyingTransportStream, SectionLengthsAndPointersOutOfRange)
{
    std::vector<uint8_t> bytes = fixtureBytes("ts_188_l2_48k_256.ts");
    for (size_t at = 0; at + 188 <= bytes.size(); at += 188) {
        const int pid = ((bytes[at + 1] & 0x1f) << 8) | bytes[at + 2];
        if ((pid == 0 || pid == 0x1000) && (bytes[at + 1] & 0x40)) {
            bytes[at + 4] = 0xb0; // pointer field beyond the packet
            bytes[at + 6] |= 0x0f; // section length near its maximum
        }
    }
    // Without usable tables the audio PID is still found by its PES stream id.
    EXPECT_EQ(probeMemory(bytes.data(), bytes.size()).status, Status::Ok);
}

// ---- inputs the fuzz targets found -----------------------------------------

// The transport reader gets the bytes as its fuzz target gives them: from
// offset 0, with the packet layout found or the plain one.
TEST(FuzzFindings, TransportReaderStaysInsideItsWindow)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(VL_FIXTURE_DIR) + "/../fuzz/transport")) {
        const std::string file = entry.path().string();
        const std::vector<uint8_t> bytes = readFileBytes(file);
        MemorySource source(bytes.data(), bytes.size());
        BoundedReader reader(source, 4 * mebibyte);
        TransportLayout layout;
        if (!detectTransportLayout(bytes.data(), bytes.size(), layout))
            layout = { 0, 188, 0 };
        const ProbeResult r = readTransportStream(reader, layout);
        EXPECT_LE(source.bytesRead(), 4 * mebibyte) << file;
        if (r.status == Status::Ok) {
            EXPECT_TRUE(r.audio.layer == 1 || r.audio.layer == 2) << file;
            EXPECT_LT(r.audio.audioOffset, static_cast<int64_t>(bytes.size())) << file;
        }
        ++files;
    }
    EXPECT_GT(files, 0);
}

// The DVD target found a title set whose VOB carries its audio under another
// stream id than the IFO names: the VOB was read twice, once per id.
TEST(FuzzFindings, VobIsReadOnceWhenTheIfoNamesAnotherStream)
{
    // A VOB longer than the reader's window, so that a second reading shows.
    const std::string title = std::string(VL_FIXTURE_DIR) + "/dvd_late_joint/VIDEO_TS/";
    std::vector<uint8_t> vob = readFileBytes(title + "VTS_01_1.VOB");
    const uint8_t audio[4] = { 0, 0, 1, 0xc0 };
    for (auto at = vob.begin(); (at = std::search(at, vob.end(), audio, audio + 4)) != vob.end(); at += 4)
        at[3] = 0xc1;
    const TempDir dir("vl_vob_");
    const std::vector<uint8_t> ifo = readFileBytes(title + "VTS_01_0.IFO");
    for (const auto& [name, bytes] : { std::pair(std::string("VTS_01_0.IFO"), &ifo), { "VTS_01_1.VOB", &vob } })
        std::ofstream(dir.file(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    const ProbeResult r = probeFile(dir.file("VTS_01_0.IFO").c_str());
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_TRUE(r.audio.fields & FieldBitrate); // taken from the VOB
    EXPECT_LE(r.bytesRead, ifo.size() + vob.size());
}

} // namespace
