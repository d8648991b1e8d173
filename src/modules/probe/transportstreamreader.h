#ifndef VL_PROBE_TRANSPORTSTREAMREADER_H
#define VL_PROBE_TRANSPORTSTREAMREADER_H

#include "boundedreader.h"
#include "mpegprobe.h"

namespace vl::probe {

// Packet layout of a transport stream: 188-byte packets, 192-byte packets
// with a 4-byte time code in front, or 204-byte packets with 16 bytes of
// Reed-Solomon parity behind.
struct TransportLayout
{
    uint64_t start = 0; // offset of the first packet
    int packetSize = 0;
    int syncOffset = 0; // of the 0x47 sync byte within a packet
};

// Looks for sync bytes at a steady packet distance near the start of the
// data; a layout counts when every packet in view (up to five) agrees.
bool detectTransportLayout(const uint8_t* head, size_t n, TransportLayout& layout);

// Finds the programs through PAT and PMT, takes the streams of type 0x03 and
// 0x04, and those of type 0x06 whose PES stream id is an MPEG audio id or
// private stream 1 with MPEG audio frames chained in its payload, and
// returns the first that holds a usable stream. Without a PAT in the
// stream, every PID whose PES packets may carry MPEG audio is a candidate.
ProbeResult readTransportStream(BoundedReader& reader, const TransportLayout& layout);

} // namespace vl::probe

#endif
