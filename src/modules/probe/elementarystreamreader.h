#ifndef VL_PROBE_ELEMENTARYSTREAMREADER_H
#define VL_PROBE_ELEMENTARYSTREAMREADER_H

#include "boundedreader.h"
#include "mpegprobe.h"

namespace vl::probe {

// Offset just past any ID3v2 tags that begin at offset (offset itself when
// there are none).
uint64_t skipId3v2Tags(BoundedReader& reader, uint64_t offset);

// A raw audio stream, possibly behind ID3v2 tags and some leading junk:
// scans a window that grows until a stream is confirmed or the limit of
// bytes to search is reached.
ProbeResult readElementaryStream(BoundedReader& reader, uint64_t offset, uint64_t searchLimit);

} // namespace vl::probe

#endif
