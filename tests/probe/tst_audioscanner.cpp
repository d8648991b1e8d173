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
        HeaderCase { "l1_32k_448_padded", { 0xff, 0xff, 0xea, 0x80 }, true, 1, 1, 14, 32000, 2, 676 },
        HeaderCase { "lsf_l2_16k_64", { 0xff, 0xf5, 0x88, 0x40 }, true, 2, 2, 8, 16000, 1, 576 },
        HeaderCase { "lsf_l1_22k_256", { 0xff, 0xf7, 0xe0, 0x00 }, true, 2, 1, 14, 22050, 0, 556 },
        HeaderCase { "l3_44k_128", { 0xff, 0xfb, 0x90, 0x64 }, true, 1, 3, 9, 44100, 1, 417 },
        HeaderCase { "mpeg25_l3_8k_16", { 0xff, 0xe3, 0x28, 0xc4 }, true, 25, 3, 2, 8000, 3, 144 },
        HeaderCase { "free_format", { 0xff, 0xfd, 0x04, 0x00 }, true, 1, 2, 0, 48000, 0, 0 },
        HeaderCase { "bitrate_15", { 0xff, 0xfd, 0xf4, 0x00 }, false, 0, 0, 0, 0, 0, 0 },
        HeaderCase { "frequency_3", { 0xff, 0xfd, 0xac, 0x00 }, false, 0, 0, 0, 0, 0, 0 },
        HeaderCase { "layer_0", { 0xff, 0xf9, 0xa4, 0x00 }, false, 0, 0, 0, 0, 0, 0 },
        HeaderCase { "version_1", { 0xff, 0xed, 0xa4, 0x00 }, false, 0, 0, 0, 0, 0, 0 },
        HeaderCase { "no_sync", { 0xff, 0x1d, 0xa4, 0x00 }, false, 0, 0, 0, 0, 0, 0 }),
    [](const testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

// Only 16, 22.05 and 24 kHz select the lower sampling frequencies; anything
// else, valid or not, is read as MPEG-1.
TEST(MpegVersion, LowSamplingFrequencies)
{
    for (const int hz : { 16000, 22050, 24000 }) {
        EXPECT_TRUE(isLowSamplingFrequency(hz)) << hz;
        EXPECT_EQ(mpegVersionForFrequency(hz), 2) << hz;
    }
    for (const int hz : { 32000, 44100, 48000, 22000, 8000, 11025, 0, -16000 }) {
        EXPECT_FALSE(isLowSamplingFrequency(hz)) << hz;
        EXPECT_EQ(mpegVersionForFrequency(hz), 1) << hz;
    }
}

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
    for (int i = 0; i < count; ++i)
        appendFrame(out, f);
    return out;
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<uint8_t> fill(size_t count, uint8_t value)
{
    return std::vector<uint8_t>(count, value);
}

struct ScanCase
{
    const char* name;
    std::vector<uint8_t> data;
    bool complete;
    Status status;
    size_t offset;
};

// Frames are {version, layer, bitrate index, frequency index, mode, emphasis,
// padding, free-format length}; l2 is MPEG-1 Layer II, 48 kHz, 192 kbit/s.
const Frame l2 {};
const ScanCase scanCases[] = {
    { "four_frames", stream(l2, 4), false, Status::Ok, 0 },
    { "three_frames_then_more_data", stream(l2, 3) + fill(700, 0), false, Status::NoAudio, 0 },
    { "three_frames_ending_the_stream", stream(l2, 3), true, Status::Ok, 0 },
    { "three_frames_of_an_open_stream", stream(l2, 3), false, Status::NoAudio, 0 },
    { "one_frame_ending_the_stream", stream(l2, 1), true, Status::NoAudio, 0 },
    // A lone frame whose successor is garbage, before the real stream.
    { "lone_header_before_the_stream", fill(100, 0x11) + stream(l2, 1) + fill(333, 0x22) + stream(l2, 5), false,
        Status::Ok, 100 + 576 + 333 },
    { "frequency_changes_mid_chain", stream(l2, 2) + stream(Frame { 1, 2, 10, 0 }, 2), false, Status::NoAudio, 0 },
    { "bitrate_changes_mid_chain", stream(l2, 2) + stream(Frame { 1, 2, 4 }, 3), false, Status::Ok, 0 },
    { "layer3", stream(Frame { 1, 3, 9 }, 5), false, Status::UnsupportedLayer, 0 },
    { "reserved_emphasis", stream(Frame { 1, 2, 10, 1, 0, 2 }, 5), false, Status::ReservedValue, 0 },
    { "mpeg25_layer2", stream(Frame { 25, 2, 4 }, 5), false, Status::ReservedValue, 0 },
    { "free_format", stream(Frame { 1, 2, 0, 1, 0, 0, false, 1200 }, 5), false, Status::FreeFormat, 0 },
    // Bodies of 0xFF (stuffing) run into each next header's sync byte.
    { "free_format_behind_and_between_stuffing",
        fill(3000, 0xff) +
            [] {
                std::vector<uint8_t> frames;
                for (int i = 0; i < 5; ++i)
                    frames = frames + std::vector<uint8_t> { 0xff, 0xfd, 0x04, 0x00 } + fill(1196, 0xff);
                return frames;
            }(),
        false, Status::FreeFormat, 0 },
    { "lone_free_format_header", std::vector<uint8_t> { 0xff, 0xfd, 0x04, 0x00 } + fill(4996, 0), false,
        Status::NoAudio, 0 },
};

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

INSTANTIATE_TEST_SUITE_P(Streams, Scanner, testing::ValuesIn(scanCases),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

// Joint stereo in any of the first 64 frames makes the stream joint stereo;
// a joint frame later on does not count.
TEST(JointStereo, AnyOfTheFirstFrames)
{
    for (const auto& [jointFrame, expectedMode] :
        { std::pair(-1, 0), { 0, 1 }, { 15, 1 }, { 16, 1 }, { 40, 1 }, { 63, 1 }, { 64, 0 }, { 71, 0 } }) {
        std::vector<uint8_t> data;
        for (int i = 0; i < 72; ++i)
            appendFrame(data, Frame { 1, 2, 10, 1, i == jointFrame ? 1 : 0 });
        const AudioScan scan = scanMpegAudio(data.data(), data.size(), true);
        ASSERT_EQ(scan.status, Status::Ok);
        EXPECT_EQ(scan.params.mode, expectedMode) << "joint stereo in frame " << jointFrame;
    }
}

// Data that arrives in pieces, each scan resuming where the last one left
// off, gives what one scan of all of it gives.
TEST_P(Scanner, ResumedScansAgreeWithOneScan)
{
    const ScanCase& c = GetParam();
    size_t from = 0;
    for (size_t size = 0; size < c.data.size(); size += 500)
        from = scanMpegAudio(c.data.data(), size, false, from).resume;
    const AudioScan resumed = scanMpegAudio(c.data.data(), c.data.size(), c.complete, from);
    const AudioScan whole = scanMpegAudio(c.data.data(), c.data.size(), c.complete);
    EXPECT_EQ(resumed.status, whole.status) << statusText(resumed.status);
    EXPECT_EQ(resumed.offset, whole.offset);
}

// Noise, and noise sown with valid-looking headers, never confirms.
TEST(Noise, HasNoConfirmedStream)
{
    for (const unsigned seed : { 1u, 2u, 3u, 42u }) {
        std::mt19937 random(seed);
        std::vector<uint8_t> data(1 << 20);
        for (uint8_t& b : data)
            b = static_cast<uint8_t>(random());
        const uint8_t header[4] = { 0xff, 0xfd, 0xa4, 0x04 };
        for (size_t i = 0; i < 2000; ++i)
            std::copy(header, header + 4, data.begin() + static_cast<std::ptrdiff_t>(random() % (data.size() - 4)));
        EXPECT_EQ(scanMpegAudio(data.data(), data.size(), true).status, Status::NoAudio) << "seed " << seed;
    }
}

} // namespace
