// Transport streams whose PMT lists private data streams (type 0x06) in
// private stream 1 PES packets: MPEG audio there is taken when its frames
// chain, anything else is not.
#include "rowname.h"

#include <gtest/gtest.h>
#include <probe/mpegprobe.h>
#include <random>

using namespace vl::probe;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

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
            ts = ts + Bytes { 0 } + Bytes(stuffing - 2, 0xff);
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

// count frames of `length` bytes behind `header`, with a body of 0x55
Bytes frames(const Bytes& header, size_t length, int count)
{
    Bytes out;
    for (int i = 0; i < count; ++i)
        out = out + header + Bytes(length - header.size(), 0x55);
    return out;
}

Bytes noise(size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes out(n);
    for (uint8_t& b : out)
        b = static_cast<uint8_t>(random());
    return out;
}

// MPEG-1 48 kHz Layer II 192 kbit/s, Layer I 128 kbit/s; Layer III 44.1 kHz
// 128 kbit/s. AC-3 (sync 0x0B77), DTS (sync 0x7FFE8001) and DVB subtitle
// segments (0x20 0x00, then sync 0x0F), each with a body of noise.
const Bytes l2Header = { 0xff, 0xfd, 0xa4, 0x00 };
const Bytes layer2 = frames(l2Header, 576, 30), layer1 = frames({ 0xff, 0xff, 0x44, 0xc0 }, 128, 30);
const Bytes ac3 = Bytes { 0x0b, 0x77, 0x1c, 0x4e, 0x14, 0x40 } + noise(8000, 1);
// 16-bit big-endian samples of quiet noise around zero: many 0xFF bytes.
const Bytes lpcm = [] {
    Bytes out;
    std::mt19937 random(4);
    for (int i = 0; i < 6000; ++i) {
        const auto sample = uint16_t(int(random() % 64) - 32);
        out = out + Bytes { uint8_t(sample >> 8), uint8_t(sample) };
    }
    return out;
}();

// name, streams, status, layer when Ok
using PrivateRow = std::tuple<const char*, std::vector<Elementary>, Status, int>;

const PrivateRow privateRows[] = {
    { "layer2", { { 0x06, 0xbd, layer2 } }, Status::Ok, 2 },
    { "layer1", { { 0x06, 0xbd, layer1 } }, Status::Ok, 1 },
    { "layer2_behind_a_partial_frame", { { 0x06, 0xbd, noise(300, 5) + layer2 } }, Status::Ok, 2 },
    { "ac3", { { 0x06, 0xbd, ac3 } }, Status::NoAudio, 0 },
    { "dts", { { 0x06, 0xbd, Bytes { 0x7f, 0xfe, 0x80, 0x01, 0xfc, 0x3c } + noise(8000, 2) } }, Status::NoAudio, 0 },
    { "lpcm", { { 0x06, 0xbd, lpcm } }, Status::NoAudio, 0 },
    { "dvb_subtitle", { { 0x06, 0xbd, Bytes { 0x20, 0x00, 0x0f, 0x10, 0x00, 0x01, 0x00, 0x02 } + noise(3000, 3) } },
        Status::NoAudio, 0 },
    { "one_header_then_noise", { { 0x06, 0xbd, frames(l2Header, 576, 1) + noise(6000, 6) } }, Status::NoAudio, 0 },
    // Three frames that end the stream confirm MPEG audio, not a private stream.
    { "three_frames_ending_the_stream", { { 0x06, 0xbd, frames(l2Header, 576, 3) } }, Status::NoAudio, 0 },
    { "frames_only_after_a_frame_length_of_noise", { { 0x06, 0xbd, noise(2500, 7) + layer2 } }, Status::NoAudio, 0 },
    { "layer3", { { 0x06, 0xbd, frames({ 0xff, 0xfb, 0x90, 0x00 }, 417, 30) } }, Status::NoAudio, 0 },
    // Private stream 1 is taken only where the PMT says private data.
    { "layer2_in_a_stream_of_type_0x81", { { 0x81, 0xbd, layer2 } }, Status::NoAudio, 0 },
    { "ac3_before_mpeg_audio", { { 0x06, 0xbd, ac3 }, { 0x04, 0xc0, layer1 } }, Status::Ok, 1 },
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
