// Inputs a reader must survive: empty, sparse, lying, fuzz-found and special files.
#include "fixturetable.h"
#include "rowname.h"
#include "tempdir.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <probe/boundedreader.h>
#include <probe/memorysource.h>
#include <probe/transportstreamreader.h>
#ifndef _WIN32
#include "nonblocking.h"

#include <sys/stat.h>
#endif

using namespace vl::probe;
namespace fs = std::filesystem;

namespace {

constexpr uint64_t mebibyte = 1024 * 1024;

std::vector<uint8_t> fixtureBytes(const std::string& name)
{
    return readFileBytes(std::string(VL_FIXTURE_DIR) + "/" + name);
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes, uint64_t size = 0)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    fs::resize_file(path, std::max<uint64_t>(size, bytes.size()));
}

TEST(NothingToRead, EmptyOrMissingInputFails)
{
    const TempDir dir;
    writeFile(dir.file("empty"), {});
    const ProbeResult r = probeFile(dir.file("empty").c_str());
    EXPECT_EQ(std::tie(r.status, r.bytesRead), std::tuple(Status::NoAudio, 0u));
    EXPECT_EQ(probeMemory(nullptr, 0).status, Status::NoAudio);
    for (const char* path : { "/nonexistent/dir/file.mp2", "", static_cast<const char*>(nullptr) })
        EXPECT_EQ(probeFile(path).status, Status::OpenFailed) << (path ? path : "null");
}

// Without audio in its head, a 2 GiB sparse file is given up after a few MiB.
TEST(SparseTail, WithoutAudioStaysBounded)
{
    const TempDir dir;
    const std::vector<uint8_t> heads[]
        = { { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0 }, { 0, 0, 1, 0xba, 0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xc3, 0xf8 },
              { 0x47, 0x40, 0, 0x10 }, { 0, 0, 0, 0x18, 'f', 't', 'y', 'p' } };
    for (const std::vector<uint8_t>& head : heads) {
        writeFile(dir.file("big"), head, 2048 * mebibyte);
        const ProbeResult r = probeFile(dir.file("big").c_str());
        EXPECT_NE(r.status, Status::Ok) << int(head[3]);
        EXPECT_LE(r.bytesRead, 4 * mebibyte) << int(head[3]);
    }
}

// name, fixture, `patch` at `at` bytes past `anchor`, cut (0: none), status (none: any failure)
using LieRow
    = std::tuple<const char*, const char*, const char*, size_t, std::vector<uint8_t>, size_t, std::optional<Status>>;

const LieRow lies[] = {
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
    // Private stream 1 counts only as PMT type 0x06 (the first type, at 393).
    { "ts_private_stream_of_type_0x81", "ts_private_l1_48k_stereo_384.ts", "", 393, { 0x81 }, 0, Status::NoAudio },
    { "dvd_cut_before_the_audio_attributes", "dvd_ifo_only/VTS_01_0.IFO", "", 0, {}, 0x210, std::nullopt },
};

using LyingContainer = testing::TestWithParam<LieRow>;

TEST_P(LyingContainer, IsNotTakenForAudio)
{
    const auto& [name, fixture, anchor, at, patch, cut, status] = GetParam();
    std::vector<uint8_t> bytes = fixtureBytes(fixture);
    const auto start = std::search(bytes.begin(), bytes.end(), anchor, anchor + std::strlen(anchor)) + ptrdiff_t(at);
    ASSERT_LE(start + ptrdiff_t(patch.size()), bytes.end());
    std::copy(patch.begin(), patch.end(), start);
    const Status found = probeMemory(bytes.data(), cut ? cut : bytes.size()).status;
    EXPECT_TRUE(status ? found == *status : found != Status::Ok) << statusText(found);
}

INSTANTIATE_TEST_SUITE_P(Patched, LyingContainer, testing::ValuesIn(lies), RowName());

TEST(LyingIsoMedia, DeeplyNestedBoxesDoNotExhaustTheStack)
{
    // moov > trak > mdia > mdia > ... nested 100000 deep.
    const uint32_t depth = 100000;
    std::vector<uint8_t> bytes(16 + 8 * depth);
    const auto box = [&](size_t at, uint32_t size, const char* type) {
        for (size_t i = 0; i < 4; ++i)
            bytes[at + i] = uint8_t(size >> (24 - 8 * i));
        std::memcpy(&bytes[at + 4], type, 4);
    };
    box(0, 16 + 8 * depth, "moov");
    box(8, 8 + 8 * depth, "trak");
    for (uint32_t i = 0; i < depth; ++i)
        box(16 + 8 * i, 8 * (depth - i), "mdia");
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

// The transport reader on what its fuzz target found, fed as the target feeds it.
TEST(FuzzFindings, TransportReaderStaysInsideItsWindow)
{
    const fs::directory_iterator files(std::string(VL_FIXTURE_DIR) + "/../fuzz/transport");
    ASSERT_TRUE(files != fs::directory_iterator());
    for (const auto& entry : files) {
        const std::vector<uint8_t> bytes = readFileBytes(entry.path().string());
        MemorySource source(bytes.data(), bytes.size());
        BoundedReader reader(source, 4 * mebibyte);
        TransportLayout layout;
        if (!detectTransportLayout(bytes.data(), bytes.size(), layout))
            layout = { 0, 188, 0 };
        const ProbeResult r = readTransportStream(reader, layout);
        EXPECT_LE(source.bytesRead(), 4 * mebibyte) << entry.path();
        EXPECT_TRUE(r.status != Status::Ok
            || ((r.audio.layer == 1 || r.audio.layer == 2) && r.audio.audioOffset < int64_t(bytes.size())))
            << entry.path();
    }
}

// A VOB whose audio stream id is not the one its IFO names is read once, not per id.
TEST(FuzzFindings, VobIsReadOnceWhenTheIfoNamesAnotherStream)
{
    // This VOB is longer than the reader's window, so that a second reading shows.
    std::vector<uint8_t> vob = fixtureBytes("dvd_late_joint/VIDEO_TS/VTS_01_1.VOB");
    const uint8_t audio[4] = { 0, 0, 1, 0xc0 };
    for (auto at = vob.begin(); (at = std::search(at, vob.end(), audio, audio + 4)) != vob.end(); at += 4)
        at[3] = 0xc1;
    const TempDir dir;
    const std::vector<uint8_t> ifo = fixtureBytes("dvd_late_joint/VIDEO_TS/VTS_01_0.IFO");
    writeFile(dir.file("VTS_01_0.IFO"), ifo);
    writeFile(dir.file("VTS_01_1.VOB"), vob);
    const ProbeResult r = probeFile(dir.file("VTS_01_0.IFO").c_str());
    EXPECT_EQ(r.status, Status::Ok);
    EXPECT_TRUE(r.audio.fields & FieldBitrate); // taken from the VOB
    EXPECT_LE(r.bytesRead, ifo.size() + vob.size());
}

#ifndef _WIN32
// ---- paths that are not regular files ---------------------------------------

// As the probed file or the VOB beside an IFO, they are given up at once, unread.
using SpecialRow = std::pair<const char*, void (*)(const fs::path&)>;

const SpecialRow specialRows[] = {
    { "fifo", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); } },
    { "directory", [](const fs::path& p) { fs::create_directory(p); } },
    { "zero_device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); } },
    { "dangling_link", [](const fs::path& p) { fs::create_symlink(p.parent_path() / "nowhere", p); } },
};

using SpecialFile = testing::TestWithParam<SpecialRow>;

TEST_P(SpecialFile, IsPassedOverAtOnce)
{
    const TempDir temp;
    const fs::path dir = temp.path();
    fs::copy_file(std::string(VL_FIXTURE_DIR) + "/dvd/VIDEO_TS/VTS_01_0.IFO", dir / "VTS_01_0.IFO");
    GetParam().second(dir / "input.mp2");
    GetParam().second(dir / "VTS_01_1.VOB");
    // The probe of `file`, which must not wait for a writer on `special`.
    const auto probe = [](const fs::path& file, const fs::path& special) {
        ProbeResult r;
        EXPECT_TRUE(returnsWithoutBlocking([&] { r = probeFile(file.c_str()); }, special));
        EXPECT_LE(r.bytesRead, 16u * 1024);
        return r;
    };
    EXPECT_EQ(probe(dir / "input.mp2", dir / "input.mp2").status, Status::OpenFailed);
    // The IFO alone still tells what it knows.
    const ProbeResult r = probe(dir / "VTS_01_0.IFO", dir / "VTS_01_1.VOB");
    EXPECT_EQ(std::tie(r.status, r.audio.fields),
        std::tuple(Status::Ok, uint32_t(FieldLayer | FieldSampleFrequency | FieldMode)));
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialFile, testing::ValuesIn(specialRows), RowName());

#endif

} // namespace
