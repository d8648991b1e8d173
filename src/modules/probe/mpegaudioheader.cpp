#include "mpegaudioheader.h"

namespace vl::probe {

namespace {

// [version 0 = MPEG-1, 1 = LSF][layer - 1][index]
constexpr short bitrates[2][3][16] = {
    {
        { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0 },
        { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0 },
        { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0 },
    },
    {
        { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0 },
        { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0 },
        { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0 },
    },
};

constexpr int frequencies[3] = { 44100, 48000, 32000 };

} // namespace

int mpegAudioBitrateKbps(int version, int layer, int bitrateIndex)
{
    if (layer < 1 || layer > 3 || bitrateIndex < 1 || bitrateIndex > 14) {
        return 0;
    }
    return bitrates[version == 1 ? 0 : 1][layer - 1][bitrateIndex];
}

int mpegAudioBitrateIndex(int version, int layer, int kbps)
{
    for (int i = 1; i <= 14; ++i) {
        if (kbps > 0 && mpegAudioBitrateKbps(version, layer, i) == kbps) {
            return i;
        }
    }
    return 0;
}

bool isLowSamplingFrequency(int sampleFrequency)
{
    return sampleFrequency == 16000 || sampleFrequency == 22050 || sampleFrequency == 24000;
}

int mpegVersionForFrequency(int sampleFrequency)
{
    return isLowSamplingFrequency(sampleFrequency) ? 2 : 1;
}

bool parseMpegAudioHeader(const uint8_t* p, MpegAudioHeader& h)
{
    if (p[0] != 0xff || (p[1] & 0xe0) != 0xe0) {
        return false;
    }
    const int versionBits = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const int bitrateIndex = p[2] >> 4;
    const int frequencyIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 15 || frequencyIndex == 3) {
        return false;
    }
    h.version = versionBits == 3 ? 1 : (versionBits == 2 ? 2 : 25);
    h.layer = 4 - layerBits;
    h.crc = (p[1] & 1) == 0;
    h.bitrateIndex = bitrateIndex;
    h.frequencyIndex = frequencyIndex;
    h.sampleFrequency = frequencies[frequencyIndex] / (h.version == 1 ? 1 : (h.version == 2 ? 2 : 4));
    h.padding = (p[2] >> 1) & 1;
    h.privateBit = p[2] & 1;
    h.mode = p[3] >> 6;
    h.modeExtension = (p[3] >> 4) & 3;
    h.copyright = (p[3] >> 3) & 1;
    h.original = (p[3] >> 2) & 1;
    h.emphasis = p[3] & 3;
    return true;
}

int MpegAudioHeader::frameLength() const
{
    const int kbps = mpegAudioBitrateKbps(version == 1 ? 1 : 2, layer, bitrateIndex);
    if (kbps == 0 || sampleFrequency == 0) {
        return 0;
    }
    const long bps = kbps * 1000L;
    if (layer == 1) {
        return static_cast<int>((12 * bps / sampleFrequency + (padding ? 1 : 0)) * 4);
    }
    // Layer III of the lower sampling frequencies has half as many samples.
    const long factor = (layer == 3 && version != 1) ? 72 : 144;
    return static_cast<int>(factor * bps / sampleFrequency + (padding ? 1 : 0));
}

bool sameMpegAudioStream(const MpegAudioHeader& a, const MpegAudioHeader& b)
{
    return a.version == b.version && a.layer == b.layer && a.frequencyIndex == b.frequencyIndex && a.crc == b.crc;
}

} // namespace vl::probe
