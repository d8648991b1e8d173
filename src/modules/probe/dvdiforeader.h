#ifndef VL_PROBE_DVDIFOREADER_H
#define VL_PROBE_DVDIFOREADER_H

#include "boundedreader.h"
#include "mpegprobe.h"

namespace vl::probe {

// True for the information file of a DVD video manager or title set.
bool looksLikeDvdIfo(const uint8_t* head, size_t n);

// Reads the first MPEG audio stream of a title set's IFO: MPEG-1 or MPEG-2
// extension coding, 48 kHz, the channel count (mono or stereo), all of it
// Layer II. When the title set's first VOB sits beside the IFO, the stream
// itself supplies every field. A video manager IFO leads to the first title
// set's IFO beside it. bytesRead of the result counts the bytes of the
// other files only.
ProbeResult readDvdIfo(BoundedReader& reader, uint64_t budget);

} // namespace vl::probe

#endif
