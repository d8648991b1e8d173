// The frame header, the confirmed-stream scanner and private streams on synthetic data.
#include "rowname.h"

#include <array>
#include <gtest/gtest.h>
#include <probe/audioscanner.h>
#include <probe/payloadbuffer.h>
#include <random>

using namespace vl::probe;

namespace {

using Bytes = std::vector<uint8_t>;

// name, header, version, layer, index, frequency, mode, frame length (ISO/IEC 11172-3 and
// 13818-3 2.4.3.1); version 0: the header must not parse.
using HeaderRow = std::tuple<const char*, std::array<uint8_t, 4>, int, int, int, int, int, int>;

const HeaderRow headerRows[] = {
    { "l2_48k_192", { 0xff, 0xfd, 0xa4, 0x04 }, 1, 2, 10, 48000, 0, 576 },
    { "l2_44k_128_padded", { 0xff, 0xfd, 0x82, 0x44 }, 1, 2, 8, 44100, 1, 418 },
    { "l1_32k_448_padded", { 0xff, 0xff, 0xea, 0x80 }, 1, 1, 14, 32000, 2, 676 },
    { "lsf_l2_16k_64", { 0xff, 0xf5, 0x88, 0x40 }, 2, 2, 8, 16000, 1, 576 },
    { "lsf_l1_22k_256", { 0xff, 0xf7, 0xe0, 0x00 }, 2, 1, 14, 22050, 0, 556 },
    { "l3_44k_128", { 0xff, 0xfb, 0x90, 0x64 }, 1, 3, 9, 44100, 1, 417 },
    { "mpeg25_l3_8k_16", { 0xff, 0xe3, 0x28, 0xc4 }, 25, 3, 2, 8000, 3, 144 },
    { "free_format", { 0xff, 0xfd, 0x04, 0x00 }, 1, 2, 0, 48000, 0, 0 },
    { "bitrate_15", { 0xff, 0xfd, 0xf4, 0x00 }, 0, 0, 0, 0, 0, 0 },
    { "frequency_3", { 0xff, 0xfd, 0xac, 0x00 }, 0, 0, 0, 0, 0, 0 },
    { "layer_0", { 0xff, 0xf9, 0xa4, 0x00 }, 0, 0, 0, 0, 0, 0 },
    { "version_1", { 0xff, 0xed, 0xa4, 0x00 }, 0, 0, 0, 0, 0, 0 },
    { "no_sync", { 0xff, 0x1d, 0xa4, 0x00 }, 0, 0, 0, 0, 0, 0 },
};

using HeaderParse = testing::TestWithParam<HeaderRow>;

TEST_P(HeaderParse, FieldsAndFrameLength)
{
    const auto& [name, bytes, version, layer, index, frequency, mode, length] = GetParam();
    MpegAudioHeader h;
    ASSERT_EQ(parseMpegAudioHeader(bytes.data(), h), version != 0);
    if (version) {
        EXPECT_EQ(std::tie(h.version, h.layer, h.bitrateIndex, h.sampleFrequency, h.mode),
            std::tie(version, layer, index, frequency, mode));
        EXPECT_EQ(h.frameLength(), length);
    }
}

INSTANTIATE_TEST_SUITE_P(Headers, HeaderParse, testing::ValuesIn(headerRows), RowName());

// count frames with a body of 0x55, of the header's length (free format: 1200 bytes).
// The default is MPEG-1 Layer II, 48 kHz, 192 kbit/s.
struct Frame
{
    int version = 1, layer = 2, bitrateIndex = 10, frequencyIndex = 1, mode = 0, emphasis = 0;
};

Bytes frames(const Frame& f, int count)
{
    const int versionBits = f.version == 1 ? 3 : (f.version == 2 ? 2 : 0);
    const uint8_t header[4] = { 0xff, uint8_t(0xe1 | (versionBits << 3) | ((4 - f.layer) << 1)),
        uint8_t((f.bitrateIndex << 4) | (f.frequencyIndex << 2)), uint8_t((f.mode << 6) | f.emphasis) };
    MpegAudioHeader h;
    const int length = parseMpegAudioHeader(header, h) && h.frameLength() ? h.frameLength() : 1200;
    Bytes out;
    for (int i = 0; i < count; ++i) {
        out.insert(out.end(), header, header + 4);
        out.insert(out.end(), size_t(length) - 4, 0x55);
    }
    return out;
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes noise(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes out(count);
    for (uint8_t& b : out)
        b = static_cast<uint8_t>(random());
    return out;
}

// Free-format frames whose bodies of 0xFF run into each next sync byte, behind stuffing.
const Bytes stuffedFreeFormat = [] {
    Bytes out = Bytes(3000, 0xff);
    for (int i = 0; i < 5; ++i)
        out = out + Bytes { 0xff, 0xfd, 0x04, 0x00 } + Bytes(1196, 0xff);
    return out;
}();

// name, data, whether the data ends the stream, status, offset when Ok
using ScanRow = std::tuple<const char*, Bytes, bool, Status, size_t>;

const Frame l2 {};
const ScanRow scanRows[] = {
    { "four_frames", frames(l2, 4), false, Status::Ok, 0 },
    { "three_frames_then_more_data", frames(l2, 3) + Bytes(700, 0), false, Status::NoAudio, 0 },
    { "three_frames_ending_the_stream", frames(l2, 3), true, Status::Ok, 0 },
    { "three_frames_of_an_open_stream", frames(l2, 3), false, Status::NoAudio, 0 },
    { "one_frame_ending_the_stream", frames(l2, 1), true, Status::NoAudio, 0 },
    { "lone_header_before_the_stream", Bytes(100, 0x11) + frames(l2, 1) + Bytes(333, 0x22) + frames(l2, 5), false,
        Status::Ok, 100 + 576 + 333 },
    { "frequency_changes_mid_chain", frames(l2, 2) + frames(Frame { 1, 2, 10, 0 }, 2), false, Status::NoAudio, 0 },
    { "bitrate_changes_mid_chain", frames(l2, 2) + frames(Frame { 1, 2, 4 }, 3), false, Status::Ok, 0 },
    { "layer3", frames(Frame { 1, 3, 9 }, 5), false, Status::UnsupportedLayer, 0 },
    { "reserved_emphasis", frames(Frame { 1, 2, 10, 1, 0, 2 }, 5), false, Status::ReservedValue, 0 },
    { "mpeg25_layer2", frames(Frame { 25, 2, 4 }, 5), false, Status::ReservedValue, 0 },
    { "free_format", frames(Frame { 1, 2, 0 }, 5), false, Status::FreeFormat, 0 },
    { "free_format_behind_and_between_stuffing", stuffedFreeFormat, false, Status::FreeFormat, 0 },
    { "lone_free_format_header", Bytes { 0xff, 0xfd, 0x04, 0x00 } + Bytes(4996, 0), false, Status::NoAudio, 0 },
};

using Scanner = testing::TestWithParam<ScanRow>;

TEST_P(Scanner, FindsOnlyConfirmedStreams)
{
    const auto& [name, data, complete, status, offset] = GetParam();
    const AudioScan scan = scanMpegAudio(data.data(), data.size(), complete);
    EXPECT_EQ(scan.status, status) << statusText(scan.status);
    EXPECT_EQ(scan.status == Status::Ok ? scan.offset : 0, offset);
}

// Scans resumed as data arrives give what one scan of all of it gives.
TEST_P(Scanner, ResumedScansAgreeWithOneScan)
{
    const auto& [name, data, complete, status, offset] = GetParam();
    size_t from = 0;
    for (size_t size = 0; size < data.size(); size += 500)
        from = scanMpegAudio(data.data(), size, false, from).resume;
    const AudioScan resumed = scanMpegAudio(data.data(), data.size(), complete, from);
    const AudioScan whole = scanMpegAudio(data.data(), data.size(), complete);
    EXPECT_EQ(std::tie(resumed.status, resumed.offset), std::tie(whole.status, whole.offset));
}

INSTANTIATE_TEST_SUITE_P(Streams, Scanner, testing::ValuesIn(scanRows), RowName());

// Joint stereo in any of the first 64 frames makes the stream joint stereo; later not.
TEST(JointStereo, AnyOfTheFirstFrames)
{
    for (const auto& [jointFrame, mode] : { std::pair(-1, 0), { 0, 1 }, { 16, 1 }, { 63, 1 }, { 64, 0 }, { 71, 0 } }) {
        Bytes data;
        for (int i = 0; i < 72; ++i)
            data = data + frames(Frame { 1, 2, 10, 1, i == jointFrame ? 1 : 0 }, 1);
        const AudioScan scan = scanMpegAudio(data.data(), data.size(), true);
        ASSERT_EQ(scan.status, Status::Ok);
        EXPECT_EQ(scan.params.mode, mode) << "joint stereo in frame " << jointFrame;
    }
}

// Noise sown with headers is never audio, and the probe reads at most its window.
TEST(Noise, IsNotAudio)
{
    for (const size_t size : { size_t(1), size_t(17), size_t(70000), size_t(1) << 20, size_t(3) << 20 }) {
        std::mt19937 random(static_cast<unsigned>(size));
        Bytes data = noise(size, static_cast<unsigned>(size) + 1);
        const uint8_t header[4] = { 0xff, 0xfd, 0xa4, 0x04 };
        for (const bool sown : { false, true }) {
            for (size_t i = 0; sown && i < size / 500; ++i)
                std::copy_n(header, 4, data.begin() + static_cast<std::ptrdiff_t>(random() % (size - 4)));
            EXPECT_EQ(scanMpegAudio(data.data(), size, true).status, Status::NoAudio) << size;
            const ProbeResult r = probeMemory(data.data(), size);
            EXPECT_NE(r.status, Status::Ok) << size;
            EXPECT_LE(r.bytesRead, 4u << 20);
        }
    }
}

// ---- private stream 1 -------------------------------------------------------

// Private streams need four usable frames chained from within one frame length (Layer I
// taken and AC-3 and DTS refused in transport streams are fixture rows).
TEST(PrivateStream, IsMpegAudioOnlyWhenItsFramesChain)
{
    const Bytes layer2 = frames(l2, 30);
    // 16-bit big-endian PCM of quiet noise: many 0xFF bytes, free-format headers to the scanner.
    Bytes pcm = noise(12000, 4);
    for (size_t i = 0; i < pcm.size(); i += 2) // samples from -32 to 31
        pcm[i] = (pcm[i + 1] = uint8_t(pcm[i + 1] % 64 - 32)) & 0x80 ? 0xff : 0;
    for (const auto& [payload, status] : { std::pair(noise(300, 5) + layer2, Status::Ok),
             { frames(l2, 3), Status::NoAudio }, { noise(2500, 7) + layer2, Status::NoAudio },
             { frames(Frame { 1, 3, 9, 0 }, 30), Status::NoAudio }, { pcm, Status::NoAudio } }) {
        PayloadBuffer buffer(true);
        buffer.append(payload.data(), payload.size(), 0);
        EXPECT_EQ(buffer.scan(true).status, status) << payload.size();
    }
    // AC-3 (sync 0x0B77) is ruled out early and does not hide a later stream.
    const Bytes ac3Bytes = Bytes { 0x0b, 0x77, 0x1c, 0x4e, 0x14, 0x40 } + noise(8000, 1);
    const Bytes layer1Bytes = frames(Frame { 1, 1, 4, 1, 3 }, 30);
    PayloadBuffer ac3(true), layer1;
    ac3.append(ac3Bytes.data(), ac3Bytes.size(), 0);
    layer1.append(layer1Bytes.data(), layer1Bytes.size(), 0);
    EXPECT_TRUE(ac3.enough());
    const ProbeResult r = firstUsableStream({ &ac3, &layer1 }, true);
    EXPECT_EQ(std::tie(r.status, r.audio.layer), std::tuple(Status::Ok, 1));
}

} // namespace
