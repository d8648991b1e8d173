/*
 * libavformat used in-process as the reference the MPEG reader is measured
 * against: avformat_open_input and avformat_find_stream_info on a file,
 * through an I/O context that counts every byte taken from the file.
 */
#ifndef VL_PROBE_AVFORMATPEER_H
#define VL_PROBE_AVFORMATPEER_H

#include <cstdint>
#include <string>

namespace vl::bench {

struct PeerResult
{
    bool opened = false; // the container was recognised and its streams read
    bool mpegAudio = false; // an MPEG audio stream was found
    int sampleRate = 0; // of that stream
    int channels = 0;
    uint64_t bytesRead = 0; // bytes the I/O context read from the file
};

class AvformatPeer
{
public:
    // Silences libavformat's log, which would otherwise print to stderr.
    AvformatPeer();

    // Opens and analyses the file as a player would before playing it. The
    // file name is passed on, so libavformat may use its extension as a hint.
    PeerResult probe(const std::string& path) const;
};

} // namespace vl::bench

#endif
