#ifndef VL_HOST_PCMREADER_H
#define VL_HOST_PCMREADER_H

#include <cstdint>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace vl::host {

// A PCM audio file (WAV, AIFF, FLAC, ... whatever libsndfile reads) read as
// interleaved 16-bit samples; samples beyond the 16-bit range are clipped.
class PcmReader
{
public:
    explicit PcmReader(const std::string& path);
    ~PcmReader();
    PcmReader(const PcmReader&) = delete;
    PcmReader& operator=(const PcmReader&) = delete;

    bool isOpen() const { return file != nullptr; }
    // libsndfile's reason for the last failure.
    const std::string& errorString() const { return error; }
    int sampleRate() const { return rate; }
    int channels() const { return channelCount; }
    // Frames (samples per channel) in the file; -1 when not known.
    int64_t frames() const { return frameCount; }

    // Reads up to count frames into samples (resized to what was read).
    // False on a read error; at the end of the file samples is empty.
    bool read(std::vector<short>& samples, int count);

private:
    SNDFILE* file = nullptr;
    std::string error;
    int rate = 0;
    int channelCount = 0;
    int64_t frameCount = -1;
};

} // namespace vl::host

#endif
