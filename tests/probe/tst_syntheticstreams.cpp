// The frame header, the confirmed-stream scanner, and private streams in
// transport streams, on synthetic data.
#include "rowname.h"

#include <array>
#include <gtest/gtest.h>
#include <probe/audioscanner.h>
#include <random>

using namespace vl::probe;

namespace {

using Bytes = std::vector<uint8_t>;

// name, header, version, layer, bitrate index, frequency, mode, frame length
// (ISO/IEC 11172-3 and 13818-3 2.4.3.1); version 0: the header must not parse.
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

TEST(MpegVersion, OnlyTheLowerFrequenciesAreMpeg2)
{
    for (const int hz : { 16000, 22050, 24000, 32000, 44100, 48000, 22000, 8000, 11025, 0, -16000 }) {
        const bool low = hz == 16000 || hz == 22050 || hz == 24000;
        EXPECT_EQ(isLowSamplingFrequency(hz), low) << hz;
        EXPECT_EQ(mpegVersionForFrequency(hz), low ? 2 : 1) << hz;
    }
}

// count frames {version, layer, bitrate index, frequency index, mode,
// emphasis} with a body of 0x55, as long as the header says (free format:
// 1200 bytes). The default is MPEG-1 Layer II, 48 kHz, 192 kbit/s.
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

Bytes fill(size_t count, uint8_t value)
{
    return Bytes(count, value);
}

Bytes noise(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes out(count);
    for (uint8_t& b : out)
        b = static_cast<uint8_t>(random());
    return out;
}

// Free-format frames of 1200 bytes whose bodies of 0xFF (stuffing) run into
// each next header's sync byte, behind more stuffing.
const Bytes stuffedFreeFormat = [] {
    Bytes out = fill(3000, 0xff);
    for (int i = 0; i < 5; ++i)
        out = out + Bytes { 0xff, 0xfd, 0x04, 0x00 } + fill(1196, 0xff);
    return out;
}();

// name, data, whether the data ends the stream, status, offset when Ok
using ScanRow = std::tuple<const char*, Bytes, bool, Status, size_t>;

const Frame l2 {};
const ScanRow scanRows[] = {
    { "four_frames", frames(l2, 4), false, Status::Ok, 0 },
    { "three_frames_then_more_data", frames(l2, 3) + fill(700, 0), false, Status::NoAudio, 0 },
    { "three_frames_ending_the_stream", frames(l2, 3), true, Status::Ok, 0 },
    { "three_frames_of_an_open_stream", frames(l2, 3), false, Status::NoAudio, 0 },
    { "one_frame_ending_the_stream", frames(l2, 1), true, Status::NoAudio, 0 },
    { "lone_header_before_the_stream", fill(100, 0x11) + frames(l2, 1) + fill(333, 0x22) + frames(l2, 5), false,
        Status::Ok, 100 + 576 + 333 },
    { "frequency_changes_mid_chain", frames(l2, 2) + frames(Frame { 1, 2, 10, 0 }, 2), false, Status::NoAudio, 0 },
    { "bitrate_changes_mid_chain", frames(l2, 2) + frames(Frame { 1, 2, 4 }, 3), false, Status::Ok, 0 },
    { "layer3", frames(Frame { 1, 3, 9 }, 5), false, Status::UnsupportedLayer, 0 },
    { "reserved_emphasis", frames(Frame { 1, 2, 10, 1, 0, 2 }, 5), false, Status::ReservedValue, 0 },
    { "mpeg25_layer2", frames(Frame { 25, 2, 4 }, 5), false, Status::ReservedValue, 0 },
    { "free_format", frames(Frame { 1, 2, 0 }, 5), false, Status::FreeFormat, 0 },
    { "free_format_behind_and_between_stuffing", stuffedFreeFormat, false, Status::FreeFormat, 0 },
    { "lone_free_format_header", Bytes { 0xff, 0xfd, 0x04, 0x00 } + fill(4996, 0), false, Status::NoAudio, 0 },
};

using Scanner = testing::TestWithParam<ScanRow>;

TEST_P(Scanner, FindsOnlyConfirmedStreams)
{
    const auto& [name, data, complete, status, offset] = GetParam();
    const AudioScan scan = scanMpegAudio(data.data(), data.size(), complete);
    EXPECT_EQ(scan.status, status) << statusText(scan.status);
    EXPECT_EQ(scan.status == Status::Ok ? scan.offset : 0, offset);
}

// Data that arrives in pieces, each scan resuming where the last one left
// off, gives what one scan of all of it gives.
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

// Joint stereo in any of the first 64 frames makes the stream joint stereo;
// a joint frame later on does not count.
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

// Noise, sown with valid-looking headers, is never audio, and the probe reads
// at most its window of it.
TEST(Noise, IsNotAudio)
{
    for (const size_t size : { size_t(1), size_t(17), size_t(70000), size_t(1) << 20, size_t(3) << 20 }) {
        std::mt19937 random(static_cast<unsigned>(size));
        Bytes data = noise(size, static_cast<unsigned>(size));
        const uint8_t header[4] = { 0xff, 0xfd, 0xa4, 0x04 };
        for (size_t i = 0; i < size / 500; ++i)
            std::copy_n(header, 4, data.begin() + static_cast<std::ptrdiff_t>(random() % (size - 4)));
        EXPECT_EQ(scanMpegAudio(data.data(), size, true).status, Status::NoAudio) << size;
        const ProbeResult r = probeMemory(data.data(), size);
        EXPECT_NE(r.status, Status::Ok) << size;
        EXPECT_LE(r.bytesRead, 4u << 20);
    }
}

// ---- private stream 1 in transport streams -----------------------------------

// Transport packets of `pid` carrying `data`; a short last payload is padded
// with an adaptation field.
void appendPackets(Bytes& ts, int pid, const Bytes& data)
{
    for (size_t at = 0; at < data.size(); at += 184) {
        const size_t n = std::min<size_t>(184, data.size() - at), stuffing = 184 - n;
        ts = ts + Bytes { 0x47, uint8_t((at ? 0 : 0x40) | (pid >> 8)), uint8_t(pid), uint8_t(stuffing ? 0x30 : 0x10) };
        if (stuffing)
            ts.push_back(uint8_t(stuffing - 1));
        if (stuffing > 1)
            ts = ts + Bytes { 0 } + fill(stuffing - 2, 0xff);
        ts.insert(ts.end(), data.begin() + ptrdiff_t(at), data.begin() + ptrdiff_t(at + n));
    }
}

// A PSI section behind its pointer field, with its length and a CRC the
// reader does not check.
Bytes section(Bytes s)
{
    s.insert(s.end(), 4, 0);
    s[1] = uint8_t(0xb0 | ((s.size() - 3) >> 8));
    s[2] = uint8_t(s.size() - 3);
    return Bytes { 0 } + s;
}

// {stream type in the PMT, PES stream id, payload}
using Elementary = std::tuple<int, int, Bytes>;

// PAT, PMT on PID 0x100, then one PES packet per stream on PIDs 0x101...
Bytes transportStream(const std::vector<Elementary>& streams)
{
    Bytes ts, pmt = { 0x02, 0, 0, 0, 1, 0xc1, 0, 0, 0xe1, 0x01, 0xf0, 0x00 };
    appendPackets(ts, 0, section({ 0x00, 0, 0, 0, 1, 0xc1, 0, 0, 0, 1, 0xe1, 0x00 }));
    for (size_t i = 0; i < streams.size(); ++i)
        pmt = pmt + Bytes { uint8_t(std::get<0>(streams[i])), 0xe1, uint8_t(0x01 + i), 0xf0, 0x00 };
    appendPackets(ts, 0x100, section(pmt));
    for (size_t i = 0; i < streams.size(); ++i) {
        const auto& [type, streamId, payload] = streams[i];
        appendPackets(ts, 0x101 + int(i), Bytes { 0, 0, 1, uint8_t(streamId), 0, 0, 0x80, 0x00, 0x00 } + payload);
    }
    return ts;
}

// AC-3 (sync 0x0B77) with a body of noise.
const Bytes ac3 = Bytes { 0x0b, 0x77, 0x1c, 0x4e, 0x14, 0x40 } + noise(8000, 1);
const Bytes layer2 = frames(l2, 30);

// name, streams, status, layer when Ok. Layer I taken and AC-3 and DTS
// refused are rows of the fixture table.
using PrivateRow = std::tuple<const char*, std::vector<Elementary>, Status, int>;

const PrivateRow privateRows[] = {
    { "layer2_behind_a_partial_frame", { { 0x06, 0xbd, noise(300, 5) + layer2 } }, Status::Ok, 2 },
    // Three frames that end the stream confirm MPEG audio, not a private stream.
    { "three_frames_ending_the_stream", { { 0x06, 0xbd, frames(l2, 3) } }, Status::NoAudio, 0 },
    { "frames_only_after_a_frame_length_of_noise", { { 0x06, 0xbd, noise(2500, 7) + layer2 } }, Status::NoAudio, 0 },
    { "layer3", { { 0x06, 0xbd, frames(Frame { 1, 3, 9, 0 }, 30) } }, Status::NoAudio, 0 },
    // Private stream 1 is taken only where the PMT says private data.
    { "layer2_in_a_stream_of_type_0x81", { { 0x81, 0xbd, layer2 } }, Status::NoAudio, 0 },
    { "ac3_before_mpeg_audio", { { 0x06, 0xbd, ac3 }, { 0x04, 0xc0, frames(Frame { 1, 1, 4, 1, 3 }, 30) } }, Status::Ok,
        1 },
};

using PrivateStream = testing::TestWithParam<PrivateRow>;

TEST_P(PrivateStream, IsMpegAudioOnlyWhenItsFramesChain)
{
    const auto& [name, streams, status, layer] = GetParam();
    const Bytes ts = transportStream(streams);
    const ProbeResult r = probeMemory(ts.data(), ts.size());
    EXPECT_EQ(r.container, Container::TransportStream);
    ASSERT_EQ(r.status, status) << statusText(r.status);
    if (status == Status::Ok) {
        EXPECT_EQ(std::tie(r.audio.layer, r.audio.sampleFrequency), std::tuple(layer, 48000));
    }
}

INSTANTIATE_TEST_SUITE_P(Payloads, PrivateStream, testing::ValuesIn(privateRows), RowName());

} // namespace
