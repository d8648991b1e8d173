// Transport streams whose PMT lists private data streams (type 0x06) in
// private stream 1 PES packets: MPEG audio there is taken when its frames
// chain, anything else is not.
#include <gtest/gtest.h>
#include <probe/mpegprobe.h>
#include <random>
#include <string>
#include <vector>

using namespace vl::probe;

namespace {

using Bytes = std::vector<uint8_t>;

struct Elementary
{
    int type; // stream type in the PMT
    int streamId; // of its PES packet
    Bytes payload;
};

void appendPacket(Bytes& ts, int pid, bool unitStart, const uint8_t* data, size_t n)
{
    // Payloads shorter than a packet are padded with an adaptation field.
    const size_t stuffing = 184 - n;
    ts.insert(ts.end(),
        { 0x47, uint8_t((unitStart ? 0x40 : 0) | (pid >> 8)), uint8_t(pid), uint8_t(stuffing ? 0x30 : 0x10) });
    if (stuffing) {
        ts.push_back(uint8_t(stuffing - 1));
        if (stuffing > 1) {
            ts.push_back(0);
            ts.insert(ts.end(), stuffing - 2, 0xff);
        }
    }
    ts.insert(ts.end(), data, data + n);
}

void appendSection(Bytes& ts, int pid, Bytes section)
{
    section.insert(section.end(), 4, 0); // the CRC, which the reader does not check
    section[1] = uint8_t(0xb0 | ((section.size() - 3) >> 8));
    section[2] = uint8_t(section.size() - 3);
    section.insert(section.begin(), 0); // pointer field
    appendPacket(ts, pid, true, section.data(), section.size());
}

// PAT, PMT on PID 0x100, then one PES packet per stream on PIDs 0x101...,
// their transport packets interleaved.
Bytes transportStream(const std::vector<Elementary>& streams)
{
    Bytes ts;
    appendSection(ts, 0, { 0x00, 0, 0, 0, 1, 0xc1, 0, 0, 0, 1, 0xe1, 0x00 });
    Bytes pmt = { 0x02, 0, 0, 0, 1, 0xc1, 0, 0, 0xe1, 0x01, 0xf0, 0x00 };
    for (size_t i = 0; i < streams.size(); ++i)
        pmt.insert(pmt.end(), { uint8_t(streams[i].type), 0xe1, uint8_t(0x01 + i), 0xf0, 0x00 });
    appendSection(ts, 0x100, pmt);
    std::vector<Bytes> pes;
    for (const Elementary& e : streams) {
        Bytes p = { 0, 0, 1, uint8_t(e.streamId), 0, 0, 0x80, 0x00, 0x00 };
        p.insert(p.end(), e.payload.begin(), e.payload.end());
        pes.push_back(p);
    }
    for (size_t at = 0, left = 1; left; at += 184) {
        left = 0;
        for (size_t i = 0; i < pes.size(); ++i) {
            if (at < pes[i].size()) {
                appendPacket(
                    ts, 0x101 + int(i), at == 0, pes[i].data() + at, std::min<size_t>(184, pes[i].size() - at));
                left += at + 184 < pes[i].size();
            }
        }
    }
    return ts;
}

// count frames of MPEG audio: {header bytes}, frame length; the body is 0x55.
Bytes frames(std::initializer_list<uint8_t> header, size_t length, int count)
{
    Bytes out;
    for (int i = 0; i < count; ++i) {
        out.insert(out.end(), header);
        out.insert(out.end(), length - header.size(), 0x55);
    }
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

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// MPEG-1 Layer II 48 kHz 192 kbit/s (576 bytes), Layer I 48 kHz 128 kbit/s
// (128 bytes), Layer III 44.1 kHz 128 kbit/s (417 bytes).
const Bytes layer2 = frames({ 0xff, 0xfd, 0xa4, 0x00 }, 576, 30);
const Bytes layer1 = frames({ 0xff, 0xff, 0x44, 0xc0 }, 128, 30);
const Bytes layer3 = frames({ 0xff, 0xfb, 0x90, 0x00 }, 417, 30);
// AC-3 (sync 0x0B77), DTS (sync 0x7FFE8001) and DVB subtitle segments
// (0x20 0x00, then sync 0x0F), each with a body of noise.
const Bytes ac3 = Bytes { 0x0b, 0x77, 0x1c, 0x4e, 0x14, 0x40 } + noise(8000, 1);
const Bytes dts = Bytes { 0x7f, 0xfe, 0x80, 0x01, 0xfc, 0x3c } + noise(8000, 2);
const Bytes subtitle = Bytes { 0x20, 0x00, 0x0f, 0x10, 0x00, 0x01, 0x00, 0x02 } + noise(3000, 3);
// 16-bit big-endian samples of quiet noise around zero: many 0xFF bytes.
const Bytes lpcm = [] {
    Bytes out;
    std::mt19937 random(4);
    for (int i = 0; i < 6000; ++i) {
        const int16_t sample = static_cast<int16_t>(static_cast<int>(random() % 64) - 32);
        out.push_back(uint8_t(uint16_t(sample) >> 8));
        out.push_back(uint8_t(sample));
    }
    return out;
}();

struct PrivateCase
{
    const char* name;
    std::vector<Elementary> streams;
    Status status;
    int layer; // when Ok
};

void PrintTo(const PrivateCase& c, std::ostream* os)
{
    *os << c.name;
}

const PrivateCase privateCases[] = {
    { "layer2", { { 0x06, 0xbd, layer2 } }, Status::Ok, 2 },
    { "layer1", { { 0x06, 0xbd, layer1 } }, Status::Ok, 1 },
    { "layer2_behind_a_partial_frame", { { 0x06, 0xbd, noise(300, 5) + layer2 } }, Status::Ok, 2 },
    { "ac3", { { 0x06, 0xbd, ac3 } }, Status::NoAudio, 0 },
    { "dts", { { 0x06, 0xbd, dts } }, Status::NoAudio, 0 },
    { "lpcm", { { 0x06, 0xbd, lpcm } }, Status::NoAudio, 0 },
    { "dvb_subtitle", { { 0x06, 0xbd, subtitle } }, Status::NoAudio, 0 },
    { "one_header_then_noise", { { 0x06, 0xbd, frames({ 0xff, 0xfd, 0xa4, 0x00 }, 576, 1) + noise(6000, 6) } },
        Status::NoAudio, 0 },
    // The stream ends after three frames: in an MPEG audio stream that
    // confirms them, in a private stream it does not.
    { "three_frames_ending_the_stream", { { 0x06, 0xbd, frames({ 0xff, 0xfd, 0xa4, 0x00 }, 576, 3) } }, Status::NoAudio,
        0 },
    { "frames_only_after_a_frame_length_of_noise", { { 0x06, 0xbd, noise(2500, 7) + layer2 } }, Status::NoAudio, 0 },
    { "layer3", { { 0x06, 0xbd, layer3 } }, Status::NoAudio, 0 },
    // Private stream 1 is taken only where the PMT says private data.
    { "layer2_in_a_stream_of_type_0x81", { { 0x81, 0xbd, layer2 } }, Status::NoAudio, 0 },
    { "ac3_before_mpeg_audio", { { 0x06, 0xbd, ac3 }, { 0x04, 0xc0, layer1 } }, Status::Ok, 1 },
};

class PrivateStream : public testing::TestWithParam<PrivateCase>
{
};

TEST_P(PrivateStream, IsMpegAudioOnlyWhenItsFramesChain)
{
    const PrivateCase& c = GetParam();
    const Bytes ts = transportStream(c.streams);
    const ProbeResult r = probeMemory(ts.data(), ts.size());
    EXPECT_EQ(r.container, Container::TransportStream);
    ASSERT_EQ(r.status, c.status) << statusText(r.status);
    if (c.status == Status::Ok) {
        EXPECT_EQ(r.audio.layer, c.layer);
        EXPECT_EQ(r.audio.sampleFrequency, 48000);
    }
}

INSTANTIATE_TEST_SUITE_P(Payloads, PrivateStream, testing::ValuesIn(privateCases),
    [](const testing::TestParamInfo<PrivateCase>& info) { return std::string(info.param.name); });

} // namespace
