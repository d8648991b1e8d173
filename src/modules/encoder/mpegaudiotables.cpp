#include "mpegaudiotables.h"

#include <probe/mpegaudioheader.h>
#include <veltrano/mpa_settings.h>

namespace vl::encoder {

bool isMpeg1Frequency(int hertz)
{
    return hertz == 32000 || hertz == 44100 || hertz == 48000;
}

bool isStandardFrequency(int hertz)
{
    return isMpeg1Frequency(hertz) || vl::probe::isLowSamplingFrequency(hertz);
}

// The standards' tables live in the probe library, which reads the same
// headers; the encoder knows Layer I and II only.
int bitrateKbps(int mpegVersion, int layer, int bitrateIndex)
{
    if (layer != 1 && layer != 2)
        return 0;
    return vl::probe::mpegAudioBitrateKbps(mpegVersion, layer, bitrateIndex);
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

} // namespace vl::encoder
