#ifndef VL_HOST_LAYER2ENCODER_H
#define VL_HOST_LAYER2ENCODER_H

#include <string>
#include <vector>
#include <veltrano/mpa_settings.h>

typedef struct twolame_options_struct twolame_options;

namespace vl::host {

// MPEG-1/2 Audio Layer II encoding through libtwolame with every header
// field of a settings block: mode, bitrate, emphasis, error protection and
// the private, copyright and original bits, and its psychoacoustic model.
// The sampling frequency is the block's; the input has one or two channels
// (libtwolame mixes them to the mode's channel count).
class Layer2Encoder
{
public:
    Layer2Encoder(const EncoderSettings& settings, int inputChannels);
    ~Layer2Encoder();
    Layer2Encoder(const Layer2Encoder&) = delete;
    Layer2Encoder& operator=(const Layer2Encoder&) = delete;

    bool isReady() const { return ready; }
    const std::string& errorString() const { return error; }

    // Encodes interleaved samples and appends the finished frames.
    bool encode(const std::vector<short>& samples, std::vector<unsigned char>& output);
    // Appends the last frame, padded with silence.
    bool flush(std::vector<unsigned char>& output);

    // The sampling frequencies of ISO/IEC 11172-3 and of the lower sampling
    // frequencies of ISO/IEC 13818-3.
    static bool isMpegFrequency(int hertz);

private:
    twolame_options* options = nullptr;
    int channels;
    bool ready = false;
    std::string error;
};

} // namespace vl::host

#endif
