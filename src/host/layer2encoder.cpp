#include "layer2encoder.h"

#include <cstdio>
#include <fcntl.h>
#include <mpegaudiotables.h>
#include <probe/mpegaudioheader.h>
#include <twolame.h>
#include <unistd.h>

namespace vl::host {

namespace {

// libtwolame asks for 1.25 bytes per sample and 7200 more.
std::size_t bufferSize(std::size_t samples)
{
    return samples + samples / 4 + 7200;
}

// libtwolame prints notes of its own on stderr (the psychoacoustic model 2
// tables, when it first encodes); they are not the program's output.
template<typename Call>
int quietly(Call call)
{
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0)
        dup2(null, STDERR_FILENO);
    const int result = call();
    if (saved >= 0 && null >= 0)
        dup2(saved, STDERR_FILENO);
    for (const int descriptor : { saved, null }) {
        if (descriptor >= 0)
            close(descriptor);
    }
    return result;
}

bool configure(twolame_options* options, const EncoderSettings& s, int inputChannels)
{
    const int version = vl::probe::mpegVersionForFrequency(s.sampleFrequency);
    const int kbps = vl::probe::mpegAudioBitrateKbps(version, 2, s.bitrateIndex);
    return kbps > 0 && twolame_set_verbosity(options, 0) == 0
        && twolame_set_in_samplerate(options, s.sampleFrequency) == 0
        && twolame_set_out_samplerate(options, s.sampleFrequency) == 0
        && twolame_set_num_channels(options, inputChannels) == 0
        && twolame_set_mode(options, static_cast<TWOLAME_MPEG_mode>(s.mode)) == 0
        && twolame_set_version(options, version == 1 ? TWOLAME_MPEG1 : TWOLAME_MPEG2) == 0
        && twolame_set_bitrate(options, kbps) == 0 && twolame_set_psymodel(options, s.psychModel) == 0
        && twolame_set_emphasis(options, static_cast<TWOLAME_Emphasis>(s.emphasis)) == 0
        && twolame_set_error_protection(options, s.errorProtection != 0) == 0
        && twolame_set_extension(options, s.privateBit != 0) == 0
        && twolame_set_copyright(options, s.copyrightBit != 0) == 0
        && twolame_set_original(options, s.originalBit != 0) == 0
        && quietly([options] { return twolame_init_params(options); }) == 0;
}

} // namespace

Layer2Encoder::Layer2Encoder(const EncoderSettings& settings, int inputChannels)
    : options(twolame_init())
    , channels(inputChannels)
{
    ready = options && configure(options, settings, inputChannels);
    if (!ready)
        error = "libtwolame does not take these settings";
}

Layer2Encoder::~Layer2Encoder()
{
    if (options)
        twolame_close(&options);
}

bool Layer2Encoder::encode(const std::vector<short>& samples, std::vector<unsigned char>& output)
{
    const int frames = static_cast<int>(samples.size()) / channels;
    std::vector<unsigned char> buffer(bufferSize(samples.size()));
    const int bytes = quietly([&] {
        return channels == 1
            ? twolame_encode_buffer(options, samples.data(), samples.data(), frames, buffer.data(), int(buffer.size()))
            : twolame_encode_buffer_interleaved(options, samples.data(), frames, buffer.data(), int(buffer.size()));
    });
    if (bytes < 0) {
        error = "libtwolame failed to encode";
        return false;
    }
    output.insert(output.end(), buffer.begin(), buffer.begin() + bytes);
    return true;
}

bool Layer2Encoder::flush(std::vector<unsigned char>& output)
{
    std::vector<unsigned char> buffer(bufferSize(TWOLAME_SAMPLES_PER_FRAME * 2));
    const int bytes = quietly([&] { return twolame_encode_flush(options, buffer.data(), int(buffer.size())); });
    if (bytes < 0) {
        error = "libtwolame failed to encode the last frame";
        return false;
    }
    output.insert(output.end(), buffer.begin(), buffer.begin() + bytes);
    return true;
}

bool Layer2Encoder::isMpegFrequency(int hertz)
{
    return vl::encoder::isStandardFrequency(hertz);
}

} // namespace vl::host
