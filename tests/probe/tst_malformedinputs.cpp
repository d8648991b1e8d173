// Inputs a reader must survive: cut, garbage, empty, huge and sparse, and
// containers whose structure lies.
#include "fixturetable.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <probe/boundedreader.h>
#include <probe/memorysource.h>
#include <probe/transportstreamreader.h>
#include <random>
#include <unistd.h>

using namespace vl::probe;

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

// A file in /tmp that is removed with the object.
class TempFile
{
public:
    TempFile()
    {
        char name[] = "/tmp/vl_probe_XXXXXX";
        m_fd = mkstemp(name);
        m_path = name;
    }
    ~TempFile()
    {
        close(m_fd);
        unlink(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void write(const std::vector<uint8_t>& bytes) const
    {
        ASSERT_EQ(pwrite(m_fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    }
    void truncate(uint64_t size) const { ASSERT_EQ(ftruncate(m_fd, static_cast<off_t>(size)), 0); }
    const char* path() const { return m_path.c_str(); }

private:
    int m_fd = -1;
    std::string m_path;
};

std::vector<FixtureExpectation> usableFixtures()
{
    std::vector<FixtureExpectation> out;
    for (const FixtureExpectation& f : loadFixtureTable()) {
        if (f.status == Status::Ok && f.container != Container::DvdIfo) {
            out.push_back(f);
        }
    }
    return out;
}

bool sameParameters(const AudioParams& a, const AudioParams& b)
{
    return a.layer == b.layer && a.mpegVersion == b.mpegVersion && a.bitrateIndex == b.bitrateIndex
        && a.sampleFrequency == b.sampleFrequency && a.emphasis == b.emphasis && a.privateBit == b.privateBit
        && a.copyrightBit == b.copyrightBit && a.originalBit == b.originalBit && a.errorProtection == b.errorProtection;
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
    std::vector<size_t> cuts = { 0, 1, 2, 3, 4, 7, 12, 100, 188, 1000, 2048, 4096 };
    for (size_t k = 1; k < 16; ++k) {
        cuts.push_back(bytes.size() * k / 16);
    }
    cuts.push_back(bytes.size() - 1);
    for (const size_t cut : cuts) {
        if (cut >= bytes.size()) {
            continue;
        }
        const ProbeResult r = probeMemory(bytes.data(), cut);
        if (r.status == Status::Ok) {
            EXPECT_TRUE(sameParameters(r.audio, full.audio)) << "cut at " << cut;
        }
        EXPECT_LE(r.bytesRead, 4 * kMiB);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, Truncated, testing::ValuesIn(usableFixtures()),
    [](const testing::TestParamInfo<FixtureExpectation>& info) { return fixtureName(info.param); });

class Garbage : public testing::TestWithParam<std::pair<unsigned, size_t>>
{
};

TEST_P(Garbage, IsNotAudio)
{
    const auto [seed, size] = GetParam();
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    const ProbeResult r = probeMemory(bytes.data(), bytes.size());
    EXPECT_NE(r.status, Status::Ok);
    EXPECT_LE(r.bytesRead, 4 * kMiB);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Garbage,
    testing::Values(std::make_pair(1u, size_t(1)), std::make_pair(2u, size_t(17)), std::make_pair(3u, size_t(4096)),
        std::make_pair(4u, size_t(70000)), std::make_pair(5u, size_t(3 * kMiB))));

TEST(EmptyInput, FailsWithoutReading)
{
    TempFile file;
    const ProbeResult r = probeFile(file.path());
    EXPECT_EQ(r.status, Status::NoAudio);
    EXPECT_EQ(r.bytesRead, 0u);
    EXPECT_EQ(probeMemory(nullptr, 0).status, Status::NoAudio);
}

TEST(MissingInput, FailsToOpen)
{
    EXPECT_EQ(probeFile("/nonexistent/dir/file.mp2").status, Status::OpenFailed);
    EXPECT_EQ(probeFile("/tmp").status, Status::OpenFailed);
    EXPECT_EQ(probeFile("").status, Status::OpenFailed);
    EXPECT_EQ(probeFile(nullptr).status, Status::OpenFailed);
}

// A 2 GiB file with a valid head and a sparse tail costs what its head costs.
class SparseTail : public testing::TestWithParam<std::string>
{
};

TEST_P(SparseTail, ReadsOnlyTheHead)
{
    const std::string path = std::string(VL_FIXTURE_DIR) + "/" + GetParam();
    const std::vector<uint8_t> head = readFileBytes(path);
    const ProbeResult small = probeFile(path.c_str());
    ASSERT_EQ(small.status, Status::Ok);
    TempFile file;
    file.write(head);
    file.truncate(2048 * kMiB);
    const ProbeResult big = probeFile(file.path());
    ASSERT_EQ(big.status, Status::Ok);
    EXPECT_TRUE(sameParameters(big.audio, small.audio));
    EXPECT_LE(big.bytesRead, 1 * kMiB);
}

INSTANTIATE_TEST_SUITE_P(Heads, SparseTail,
    testing::Values("es_l2_48k_stereo_192.mp2", "ts_188_l2_48k_256.ts", "ps_mpeg2_l2_48k_joint_224.m2p",
        "mp4_moov_front_l2_44k_joint_160.mp4", "mxf_l2_48k_joint_192.mxf"));

// Without audio in the head, the search gives up after a few MiB.
class SparseWithoutAudio : public testing::TestWithParam<std::vector<uint8_t>>
{
};

TEST_P(SparseWithoutAudio, StaysBounded)
{
    TempFile file;
    file.write(GetParam());
    file.truncate(2048 * kMiB);
    const ProbeResult r = probeFile(file.path());
    EXPECT_NE(r.status, Status::Ok);
    EXPECT_LE(r.bytesRead, 4 * kMiB);
}

INSTANTIATE_TEST_SUITE_P(Heads, SparseWithoutAudio,
    testing::Values(std::vector<uint8_t> { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0 },
        std::vector<uint8_t> { 0, 0, 1, 0xba, 0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xc3, 0xf8 },
        std::vector<uint8_t> { 0x47, 0x40, 0, 0x10 }, std::vector<uint8_t> { 0, 0, 0, 0x18, 'f', 't', 'y', 'p' }));

// ---- containers that lie about themselves ------------------------------------

std::vector<uint8_t> fixtureBytes(const char* name)
{
    return readFileBytes(std::string(VL_FIXTURE_DIR) + "/" + name);
}

size_t find(const std::vector<uint8_t>& bytes, const char* pattern, size_t length)
{
    const auto it = std::search(bytes.begin(), bytes.end(), pattern, pattern + length);
    return static_cast<size_t>(it - bytes.begin());
}

void putBe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    bytes[at] = static_cast<uint8_t>(value >> 24);
    bytes[at + 1] = static_cast<uint8_t>(value >> 16);
    bytes[at + 2] = static_cast<uint8_t>(value >> 8);
    bytes[at + 3] = static_cast<uint8_t>(value);
}

TEST(LyingIsoMedia, ChunkOffsetCountBeyondItsBox)
{
    std::vector<uint8_t> bytes = fixtureBytes("mp4_moov_front_l2_44k_joint_160.mp4");
    const size_t stco = find(bytes, "stco", 4);
    ASSERT_LT(stco, bytes.size());
    putBe32(bytes, stco + 8, 0x40000000);
    EXPECT_EQ(probeMemory(bytes.data(), bytes.size()).status, Status::Malformed);
}

TEST(LyingIsoMedia, ChunkOffsetBeyondTheFile)
{
    std::vector<uint8_t> bytes = fixtureBytes("mp4_moov_end_l2_22k_mono_48.m4p"); // its only track is audio
    const size_t stco = find(bytes, "stco", 4);
    ASSERT_LT(stco, bytes.size());
    putBe32(bytes, stco + 12, 0xfffffff0u);
    const ProbeResult r = probeMemory(bytes.data(), bytes.size());
    EXPECT_NE(r.status, Status::Ok);
}

TEST(LyingIsoMedia, DeeplyNestedBoxesDoNotExhaustTheStack)
{
    // moov > trak > mdia > mdia > ... nested 100000 deep.
    const uint32_t depth = 100000;
    std::vector<uint8_t> bytes(16 + 8 * depth);
    putBe32(bytes, 0, 8 + 8 + 8 * depth);
    std::memcpy(&bytes[4], "moov", 4);
    putBe32(bytes, 8, 8 + 8 * depth);
    std::memcpy(&bytes[12], "trak", 4);
    for (uint32_t i = 0; i < depth; ++i) {
        putBe32(bytes, 16 + 8 * i, 8 * (depth - i));
        std::memcpy(&bytes[16 + 8 * i + 4], "mdia", 4);
    }
    EXPECT_EQ(probeMemory(bytes.data(), bytes.size()).status, Status::NoAudio);
}

TEST(LyingMxf, OverlongBerLength)
{
    std::vector<uint8_t> bytes = fixtureBytes("mxf_l2_48k_joint_192.mxf");
    bytes[16] = 0x89; // nine length bytes follow: more than BER allows
    EXPECT_EQ(probeMemory(bytes.data(), bytes.size()).status, Status::Malformed);
}

TEST(LyingMxf, LengthBeyondTheFile)
{
    std::vector<uint8_t> bytes = fixtureBytes("mxf_l2_48k_joint_192.mxf");
    bytes[16] = 0x88;
    for (int i = 17; i < 25; ++i) {
        bytes[static_cast<size_t>(i)] = 0xff;
    }
    EXPECT_NE(probeMemory(bytes.data(), bytes.size()).status, Status::Ok);
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
    const ProbeResult r = probeMemory(bytes.data(), bytes.size());
    // Without usable tables the audio PID is still found by its PES stream id.
    EXPECT_EQ(r.status, Status::Ok);
}

TEST(LyingDvdIfo, MoreAudioStreamsThanTheFormatHas)
{
    std::vector<uint8_t> bytes = fixtureBytes("dvd_ifo_only/VTS_01_0.IFO");
    bytes[0x202] = 0;
    bytes[0x203] = 9;
    EXPECT_EQ(probeMemory(bytes.data(), bytes.size()).status, Status::Malformed);
}

TEST(LyingDvdIfo, CutBeforeTheAudioAttributes)
{
    const std::vector<uint8_t> bytes = fixtureBytes("dvd_ifo_only/VTS_01_0.IFO");
    EXPECT_NE(probeMemory(bytes.data(), 0x210).status, Status::Ok);
}

} // namespace

namespace {

// ---- inputs the fuzz targets found -----------------------------------------

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d)) {
            if (e->d_name[0] != '.') {
                names.push_back(dir + "/" + e->d_name);
            }
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Each reader gets the bytes as its fuzz target gives them: from offset 0,
// with the packet layout found or the plain one.
TEST(FuzzFindings, TransportReaderStaysInsideItsWindow)
{
    const std::vector<std::string> files = filesIn(std::string(VL_FIXTURE_DIR) + "/../fuzz/transport");
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        const std::vector<uint8_t> bytes = readFileBytes(file);
        MemorySource source(bytes.data(), bytes.size());
        BoundedReader reader(source, 4 * kMiB);
        TransportLayout layout;
        if (!detectTransportLayout(bytes.data(), bytes.size(), layout)) {
            layout = { 0, 188, 0 };
        }
        const ProbeResult r = readTransportStream(reader, layout);
        EXPECT_LE(source.bytesRead(), 4 * kMiB) << file;
        if (r.status == Status::Ok) {
            EXPECT_TRUE(r.audio.layer == 1 || r.audio.layer == 2) << file;
            EXPECT_LT(r.audio.audioOffset, static_cast<int64_t>(bytes.size())) << file;
        }
    }
}

} // namespace
