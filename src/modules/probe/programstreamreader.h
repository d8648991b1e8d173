#ifndef VL_PROBE_PROGRAMSTREAMREADER_H
#define VL_PROBE_PROGRAMSTREAMREADER_H

#include "boundedreader.h"
#include "mpegprobe.h"

namespace vl::probe {

// True when a pack header (MPEG-1 or MPEG-2) starts at p.
bool isPackHeader(const uint8_t* p, size_t n);

// Walks the packs of an MPEG-1 or MPEG-2 program stream from offset, joins
// the payload of each MPEG audio stream and returns the first usable one:
// the stream preferredId when it is one, else in order of appearance.
ProbeResult readProgramStream(BoundedReader& reader, uint64_t offset, int preferredId = -1);

} // namespace vl::probe

#endif
