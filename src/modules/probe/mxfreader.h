#ifndef VL_PROBE_MXFREADER_H
#define VL_PROBE_MXFREADER_H

#include "boundedreader.h"
#include "mpegprobe.h"

namespace vl::probe {

// Offset of the header partition pack within the run-in at the start of
// the data, or -1 when the data is not MXF.
int64_t findMxfHeaderPartition(const uint8_t* head, size_t n);

// Walks the KLV packets from the header partition, joins the values of each
// sound essence element (generic container and content package sound items)
// by track, and returns the first track that holds a usable MPEG audio
// stream. A file whose sound is PCM, or that has no sound, yields NoAudio.
ProbeResult readMxf(BoundedReader& reader, uint64_t offset);

} // namespace vl::probe

#endif
