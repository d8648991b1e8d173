#ifndef VL_PROBE_PESHEADER_H
#define VL_PROBE_PESHEADER_H

#include <cstddef>
#include <cstdint>

namespace vl::probe {

// MPEG audio stream ids of ISO/IEC 11172-1 and 13818-1: 0xC0..0xDF.
inline bool isMpegAudioStreamId(int id)
{
    return id >= 0xc0 && id <= 0xdf;
}

// Private stream 1: in a transport stream's private data stream (type 0x06)
// it carries whatever the stream's descriptors say, MPEG audio among others.
constexpr int privateStream1 = 0xbd;

// Offset of the payload from the start of a PES packet (at its 00 00 01
// start code prefix), for both the MPEG-1 and the MPEG-2 packet header; -1
// when the n bytes given do not hold a well-formed header.
int pesPayloadOffset(const uint8_t* packet, size_t n);

} // namespace vl::probe

#endif
