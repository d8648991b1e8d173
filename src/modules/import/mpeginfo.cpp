#include "mpeginfo.h"

#include <cstring>

namespace vl::import {

void resetInfo(MpegInInfo& info)
{
    std::memset(&info, 0, sizeof info);
    info.structSize = sizeof info;
    info.container = VL_CONTAINER_UNKNOWN;
    info.mpegVersion = info.layer = info.mode = -1;
    info.bitrateIndex = info.bitrateKbps = info.sampleFrequency = -1;
    info.emphasis = info.privateBit = info.copyrightBit = info.originalBit = info.errorProtection = -1;
    info.channels = -1;
    info.audioOffset = -1;
}

int32_t fillInfo(MpegInInfo& info, const vl::probe::ProbeResult& result)
{
    using vl::probe::AudioField;
    resetInfo(info);
    info.container = static_cast<int32_t>(result.container);
    if (result.status != vl::probe::Status::Ok)
        return static_cast<int32_t>(result.status);

    const vl::probe::AudioParams& a = result.audio;
    const auto has = [&a](AudioField field) { return (a.fields & field) != 0; };
    // The version follows from the sampling frequency, so it is known with it.
    if (has(vl::probe::FieldSampleFrequency)) {
        info.mpegVersion = a.mpegVersion;
        info.sampleFrequency = a.sampleFrequency;
    }
    if (has(vl::probe::FieldLayer))
        info.layer = a.layer;
    if (has(vl::probe::FieldMode))
        info.mode = a.mode;
    if (has(vl::probe::FieldBitrate)) {
        info.bitrateIndex = a.bitrateIndex;
        info.bitrateKbps = a.bitrateKbps;
    }
    if (has(vl::probe::FieldEmphasis))
        info.emphasis = a.emphasis;
    if (has(vl::probe::FieldHeaderBits)) {
        info.privateBit = a.privateBit;
        info.copyrightBit = a.copyrightBit;
        info.originalBit = a.originalBit;
        info.errorProtection = a.errorProtection;
    }
    if (a.channels == 1 || a.channels == 2)
        info.channels = a.channels;
    info.audioOffset = a.audioOffset;
    return 0;
}

} // namespace vl::import
