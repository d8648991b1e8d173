#include "mpegaudiotables.h"

#include <array>
#include <veltrano/mpa_settings.h>

namespace vl::enc {

namespace {

using BitrateRow = std::array<int, 16>;

// Indexed by bitrate_index; slots 0 (free format) and 15 (forbidden) hold 0.
constexpr BitrateRow kMpeg1Layer1 = { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0 };
constexpr BitrateRow kMpeg1Layer2 = { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0 };
constexpr BitrateRow kLsfLayer1 = { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0 };
constexpr BitrateRow kLsfLayer2 = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0 };

} // namespace

bool isMpeg1Frequency(int hertz)
{
    return hertz == 32000 || hertz == 44100 || hertz == 48000;
}

bool isLsfFrequency(int hertz)
{
    return hertz == 16000 || hertz == 22050 || hertz == 24000;
}

int mpegVersionOf(int hertz)
{
    return isLsfFrequency(hertz) ? 2 : 1;
}

int bitrateKbps(int mpegVersion, int layer, int bitrateIndex)
{
    if (bitrateIndex < 0 || bitrateIndex > 15 || (layer != 1 && layer != 2))
        return 0;
    const bool lsf = mpegVersion == 2;
    const BitrateRow& row = layer == 1 ? (lsf ? kLsfLayer1 : kMpeg1Layer1) : (lsf ? kLsfLayer2 : kMpeg1Layer2);
    return row[static_cast<std::size_t>(bitrateIndex)];
}

bool mpeg1Layer2Allows(int mode, int kbps)
{
    if (mode == VL_MODE_MONO)
        return kbps <= 192;
    return kbps >= 64 && kbps != 80;
}

std::string kiloHertzText(int hertz)
{
    std::string text = std::to_string(hertz / 1000);
    int rest = hertz % 1000;
    if (rest == 0)
        return text;
    text += '.';
    for (int digit = 100; rest != 0; digit /= 10) {
        text += static_cast<char>('0' + rest / digit);
        rest %= digit;
    }
    return text;
}

} // namespace vl::enc
