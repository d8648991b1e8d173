// The frame header and the confirmed-stream scanner on synthetic streams.
#include <gtest/gtest.h>
#include <probe/audioscanner.h>
#include <probe/mpegaudioheader.h>
#include <random>
#include <string>
#include <vector>

using namespace vl::probe;

namespace {

// ---- headers ---------------------------------------------------------------

struct HeaderCase
{
    const char* name;
    uint8_t bytes[4];
    bool valid;
    int version, layer, bitrateIndex, sampleFrequency, mode, frameLength;
};

class HeaderParse : public testing::TestWithParam<HeaderCase>
{
};

TEST_P(HeaderParse, FieldsAndFrameLength)
{
    const HeaderCase& c = GetParam();
    MpegAudioHeader h;
    ASSERT_EQ(parseMpegAudioHeader(c.bytes, h), c.valid);
    if (!c.valid) {
        return;
    }
    EXPECT_EQ(h.version, c.version);
    EXPECT_EQ(h.layer, c.layer);
    EXPECT_EQ(h.bitrateIndex, c.bitrateIndex);
    EXPECT_EQ(h.sampleFrequency, c.sampleFrequency);
    EXPECT_EQ(h.mode, c.mode);
    EXPECT_EQ(h.frameLength(), c.frameLength);
}

// Frame lengths from ISO/IEC 11172-3 2.4.3.1 and 13818-3 2.4.3.1.
INSTANTIATE_TEST_SUITE_P(Headers, HeaderParse,
    testing::Values(HeaderCase { "l2_48k_192", { 0xff, 0xfd, 0xa4, 0x04 }, true, 1, 2, 10, 48000, 0, 576 },
        HeaderCase { "l2_44k_128_padded", { 0xff, 0xfd, 0x82, 0x44 }, true, 1, 2, 8, 44100, 1, 418 },
        HeaderCase { "l1_44k_288", { 0xff, 0xff, 0x90, 0xc0 }, true, 1, 1, 9, 44100, 3, 312 },
        HeaderCase { "l1_32k_448_padded", { 0xff, 0xff, 0xea, 0x80 }, true, 1, 1, 14, 32000, 2, 676 },
        HeaderCase { "lsf_l2_16k_64", { 0xff, 0xf5, 0x88, 0x40 }, true, 2, 2, 8, 16000, 1, 576 },
        HeaderCase { "lsf_l1_22k_256", { 0xff, 0xf7, 0xe0, 0x00 }, true, 2, 1, 14, 22050, 0, 556 },
        HeaderCase { "l3_44k_128", { 0xff, 0xfb, 0x90, 0x64 }, true, 1, 3, 9, 44100, 1, 417 },
        HeaderCase { "lsf_l3_24k_64", { 0xff, 0xf3, 0x84, 0xc4 }, true, 2, 3, 8, 24000, 3, 192 },
        HeaderCase { "mpeg25_l3_8k_16", { 0xff, 0xe3, 0x28, 0xc4 }, true, 25, 3, 2, 8000, 3, 144 },
        HeaderCase { "free_format", { 0xff, 0xfd, 0x04, 0x00 }, true, 1, 2, 0, 48000, 0, 0 },
        HeaderCase { "bitrate_15", { 0xff, 0xfd, 0xf4, 0x00 }, false, 0, 0, 0, 0, 0, 0 },
        HeaderCase { "frequency_3", { 0xff, 0xfd, 0xac, 0x00 }, false, 0, 0, 0, 0, 0, 0 },
        HeaderCase { "layer_0", { 0xff, 0xf9, 0xa4, 0x00 }, false, 0, 0, 0, 0, 0, 0 },
        HeaderCase { "version_1", { 0xff, 0xed, 0xa4, 0x00 }, false, 0, 0, 0, 0, 0, 0 },
        HeaderCase { "no_sync", { 0xff, 0x1d, 0xa4, 0x00 }, false, 0, 0, 0, 0, 0, 0 }),
    [](const testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

struct TableCase
{
    int version, layer, kbps, index;
};

class BitrateTable : public testing::TestWithParam<TableCase>
{
};

TEST_P(BitrateTable, IndexAndRateAgree)
{
    const TableCase& c = GetParam();
    if (c.index != 0) {
        EXPECT_EQ(mpegAudioBitrateKbps(c.version, c.layer, c.index), c.kbps);
    }
    EXPECT_EQ(mpegAudioBitrateIndex(c.version, c.layer, c.kbps), c.index);
}

// Index 14 differs in every table; 8 kbit/s exists only for the lower rates;
// a rate a table lacks has index 0.
INSTANTIATE_TEST_SUITE_P(Tables, BitrateTable,
    testing::Values(TableCase { 1, 1, 448, 14 }, TableCase { 1, 2, 384, 14 }, TableCase { 2, 1, 256, 14 },
        TableCase { 2, 2, 160, 14 }, TableCase { 1, 1, 32, 1 }, TableCase { 2, 2, 8, 1 }, TableCase { 1, 2, 8, 0 },
        TableCase { 1, 1, 48, 0 }, TableCase { 2, 1, 448, 0 }, TableCase { 1, 2, 0, 0 }));

// ---- synthetic streams -----------------------------------------------------

struct Frame
{
    int version = 1; // 1, 2 or 25
    int layer = 2;
    int bitrateIndex = 10;
    int frequencyIndex = 1; // 48 kHz for MPEG-1
    int mode = 0;
    int emphasis = 0;
    bool padding = false;
    int freeFormatLength = 0; // bytes of a free-format frame
};

int frameBytes(const Frame& f)
{
    if (f.bitrateIndex == 0) {
        return f.freeFormatLength;
    }
    static const int rates[3] = { 44100, 48000, 32000 };
    const int divisor = f.version == 1 ? 1 : (f.version == 2 ? 2 : 4);
    const int rate = rates[f.frequencyIndex] / divisor;
    const int kbps = mpegAudioBitrateKbps(f.version == 1 ? 1 : 2, f.layer, f.bitrateIndex);
    if (f.layer == 1) {
        return (12 * kbps * 1000 / rate + f.padding) * 4;
    }
    const int factor = (f.layer == 3 && f.version != 1) ? 72 : 144;
    return factor * kbps * 1000 / rate + f.padding;
}

void appendFrame(std::vector<uint8_t>& out, const Frame& f)
{
    const int versionBits = f.version == 1 ? 3 : (f.version == 2 ? 2 : 0);
    out.push_back(0xff);
    out.push_back(static_cast<uint8_t>(0xe0 | (versionBits << 3) | ((4 - f.layer) << 1) | 1));
    out.push_back(static_cast<uint8_t>((f.bitrateIndex << 4) | (f.frequencyIndex << 2) | (f.padding << 1)));
    out.push_back(static_cast<uint8_t>((f.mode << 6) | f.emphasis));
    out.resize(out.size() + static_cast<size_t>(frameBytes(f)) - 4, 0x55);
}

std::vector<uint8_t> stream(const Frame& f, int count)
{
    std::vector<uint8_t> out;
    for (int i = 0; i < count; ++i) {
        appendFrame(out, f);
    }
    return out;
}

struct ScanCase
{
    const char* name;
    std::vector<uint8_t> data;
    bool complete;
    Status status;
    size_t offset;
};

std::vector<ScanCase> scanCases()
{
    std::vector<ScanCase> cases;
    const Frame l2;
    cases.push_back({ "four_frames", stream(l2, 4), false, Status::Ok, 0 });
    cases.push_back({ "three_frames_then_more_data",
        [&] {
            auto d = stream(l2, 3);
            d.resize(d.size() + 700, 0x00);
            return d;
        }(),
        false, Status::NoAudio, 0 });
    cases.push_back({ "three_frames_ending_the_stream", stream(l2, 3), true, Status::Ok, 0 });
    cases.push_back({ "three_frames_of_an_open_stream", stream(l2, 3), false, Status::NoAudio, 0 });
    cases.push_back({ "one_frame_ending_the_stream", stream(l2, 1), true, Status::NoAudio, 0 });
    cases.push_back({ "lone_header_before_the_stream",
        [&] {
            std::vector<uint8_t> d(100, 0x11);
            appendFrame(d, l2); // a frame whose successor is garbage
            d.resize(d.size() + 333, 0x22); // ...
            auto s = stream(l2, 5);
            d.insert(d.end(), s.begin(), s.end());
            return d;
        }(),
        false, Status::Ok, 100 + 576 + 333 });
    cases.push_back({ "frequency_changes_mid_chain",
        [&] {
            auto d = stream(l2, 2);
            Frame other = l2;
            other.frequencyIndex = 0;
            auto s = stream(other, 2);
            d.insert(d.end(), s.begin(), s.end());
            return d;
        }(),
        false, Status::NoAudio, 0 });
    cases.push_back({ "bitrate_changes_mid_chain",
        [&] {
            auto d = stream(l2, 2);
            Frame other = l2;
            other.bitrateIndex = 4;
            auto s = stream(other, 3);
            d.insert(d.end(), s.begin(), s.end());
            return d;
        }(),
        false, Status::Ok, 0 });
    Frame l3 = l2;
    l3.layer = 3;
    l3.bitrateIndex = 9;
    cases.push_back({ "layer3", stream(l3, 5), false, Status::UnsupportedLayer, 0 });
    Frame reservedEmphasis = l2;
    reservedEmphasis.emphasis = 2;
    cases.push_back({ "reserved_emphasis", stream(reservedEmphasis, 5), false, Status::ReservedValue, 0 });
    Frame mpeg25 = l2;
    mpeg25.version = 25;
    mpeg25.bitrateIndex = 4;
    cases.push_back({ "mpeg25_layer2", stream(mpeg25, 5), false, Status::ReservedValue, 0 });
    Frame free = l2;
    free.bitrateIndex = 0;
    free.freeFormatLength = 1200;
    cases.push_back({ "free_format", stream(free, 5), false, Status::FreeFormat, 0 });
    free.freeFormatLength = 0; // a lone free-format header with nothing behind it
    cases.push_back({ "lone_free_format_header",
        [&] {
            std::vector<uint8_t> d = { 0xff, 0xfd, 0x04, 0x00 };
            d.resize(5000, 0x00);
            return d;
        }(),
        false, Status::NoAudio, 0 });
    return cases;
}

class Scanner : public testing::TestWithParam<ScanCase>
{
};

TEST_P(Scanner, FindsOnlyConfirmedStreams)
{
    const ScanCase& c = GetParam();
    const AudioScan scan = scanMpegAudio(c.data.data(), c.data.size(), c.complete);
    EXPECT_EQ(scan.status, c.status) << statusText(scan.status);
    if (c.status == Status::Ok) {
        EXPECT_EQ(scan.offset, c.offset);
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, Scanner, testing::ValuesIn(scanCases()),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

// Joint stereo in any of the first sixteen frames makes the stream joint
// stereo; a joint frame later on does not count.
class JointStereo : public testing::TestWithParam<std::pair<int, int>>
{
};

TEST_P(JointStereo, AnyOfTheFirstFrames)
{
    const auto [jointFrame, expectedMode] = GetParam();
    std::vector<uint8_t> data;
    for (int i = 0; i < 24; ++i) {
        Frame f;
        f.mode = i == jointFrame ? 1 : 0;
        appendFrame(data, f);
    }
    const AudioScan scan = scanMpegAudio(data.data(), data.size(), true);
    ASSERT_EQ(scan.status, Status::Ok);
    EXPECT_EQ(scan.params.mode, expectedMode);
}

INSTANTIATE_TEST_SUITE_P(Frames, JointStereo,
    testing::Values(std::make_pair(-1, 0), std::make_pair(0, 1), std::make_pair(1, 1), std::make_pair(7, 1),
        std::make_pair(15, 1), std::make_pair(16, 0), std::make_pair(23, 0)));

// Noise, and noise sown with valid-looking headers, never confirms.
class Noise : public testing::TestWithParam<unsigned>
{
};

TEST_P(Noise, HasNoConfirmedStream)
{
    std::mt19937 random(GetParam());
    std::vector<uint8_t> data(1 << 20);
    for (uint8_t& b : data) {
        b = static_cast<uint8_t>(random());
    }
    for (size_t i = 0; i < 2000; ++i) {
        const size_t at = random() % (data.size() - 4);
        const uint8_t header[4] = { 0xff, 0xfd, 0xa4, 0x04 };
        std::copy(header, header + 4, data.begin() + static_cast<std::ptrdiff_t>(at));
    }
    EXPECT_EQ(scanMpegAudio(data.data(), data.size(), true).status, Status::NoAudio);
}

INSTANTIATE_TEST_SUITE_P(Seeds, Noise, testing::Values(1u, 2u, 3u, 42u));

} // namespace
