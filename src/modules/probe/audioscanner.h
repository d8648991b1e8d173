/*
 * Finds the first confirmed MPEG audio stream in a run of bytes. A header
 * counts only when the frames that follow it, at the distances its frame
 * lengths give, carry headers of the same stream; a lone 0xFFF pattern in
 * video data or noise never counts.
 */
#ifndef VL_PROBE_AUDIOSCANNER_H
#define VL_PROBE_AUDIOSCANNER_H

#include "mpegaudioheader.h"
#include "mpegprobe.h"

#include <cstddef>
#include <cstdint>

namespace vl::probe {

// Chained frames that confirm a header, the first one included.
constexpr int confirmFrames = 4;
// Frames whose mode is looked at: joint stereo in any of them wins. An
// encoder writes joint stereo only in the frames that need it, which may
// first come a second or so into the stream.
constexpr int modeFrames = 64;
// Longest frame of a Layer I or II stream (Layer II, 384 kbit/s, 32 kHz,
// with its padding byte).
constexpr size_t maxFrameLength = 1729;

struct AudioScan
{
    Status status = Status::NoAudio;
    size_t offset = 0; // of the first confirmed frame, within the data
    int frames = 0; // chained frames looked at, at most modeFrames
    size_t chainEnd = 0; // just past the last frame looked at
    // More data cannot change the mode found: the chain saw joint stereo, or
    // a mode that never turns joint (mono, dual channel), or modeFrames
    // frames, or it broke off inside the data.
    bool settled = false;
    // No stream can start before this offset, however the data goes on: a
    // later scan of the same, longer data may start here.
    size_t resume = 0;
    AudioParams params;
};

// Scans data from offset `from` for the first confirmed stream, one that
// starts at or before lastStart. complete says that the data ends where the
// stream ends, so that a short stream whose last frame ends exactly there is
// confirmed by fewer frames. A confirmed stream that the dialog cannot show
// (Layer III, free format, reserved values) yields that status rather than a
// search further on.
AudioScan scanMpegAudio(
    const uint8_t* data, size_t size, bool complete, size_t from = 0, size_t lastStart = ~size_t(0));

// Ok, or the status that rules the stream of this header out.
Status classifyMpegAudioHeader(const MpegAudioHeader& h);

// The probe's view of a header; mode becomes joint stereo when joint is set.
AudioParams audioParamsFromHeader(const MpegAudioHeader& h, bool joint);

} // namespace vl::probe

#endif
