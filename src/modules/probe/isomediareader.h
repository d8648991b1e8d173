#ifndef VL_PROBE_ISOMEDIAREADER_H
#define VL_PROBE_ISOMEDIAREADER_H

#include "boundedreader.h"
#include "mpegprobe.h"

namespace vl::probe {

// True when the data begins with a box that ISO base media and QuickTime
// files begin with.
bool looksLikeIsoMedia(const uint8_t* head, size_t n);

// Walks the top-level boxes (the moov box may sit before or after the
// media data), takes the first track whose sample entry is MPEG audio
// ('mp4a' with object type 0x6B or 0x69, '.mp1', '.mp2', or '.mp3', which
// then fails as Layer III) and reads the frame headers at its first samples,
// found through the chunk offset table.
ProbeResult readIsoMedia(BoundedReader& reader);

} // namespace vl::probe

#endif
