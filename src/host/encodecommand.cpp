// encode: PCM audio to MPEG audio Layer II with the settings of a settings
// file, checked by the encoder module at the input's sampling frequency.
// OUT appears only when everything was encoded.
#include "atomicoutput.h"
#include "commandline.h"
#include "commands.h"
#include "companionmodules.h"
#include "layer2encoder.h"
#include "pcmreader.h"
#include "progressbar.h"
#include "settingsblock.h"
#include "settingscheck.h"

#include <probe/mpegaudioheader.h>

namespace vl::host {

namespace {

constexpr int framesPerRead = 1152 * 8;

// An input the encoder can take: mono or stereo at an MPEG frequency.
bool usableInput(const PcmReader& input, const std::string& in, std::string& error)
{
    if (!input.isOpen())
        error = in + ": " + input.errorString();
    else if (!Layer2Encoder::isMpegFrequency(input.sampleRate()))
        error = in + ": " + std::to_string(input.sampleRate())
            + " Hz is not a sampling frequency of MPEG-1/2 audio (32000, 44100, 48000, 16000, 22050, 24000 Hz)";
    else if (input.channels() > 2)
        error = in + ": " + std::to_string(input.channels()) + " channels; the encoder takes mono or stereo audio";
    return error.empty();
}

// A settings file gives its bitrate in kbit/s, resolved to an index at the
// file's sampling frequency. The lower sampling frequencies have tables of
// their own, so at an input of the other MPEG version the index moves to
// keep the rate.
bool moveToFrequency(EncoderSettings& block, int hertz, const std::string& settingsFile, std::string& error)
{
    const int from = vl::probe::mpegVersionForFrequency(block.sampleFrequency);
    const int to = vl::probe::mpegVersionForFrequency(hertz);
    if (from != to) {
        const int kbps = vl::probe::mpegAudioBitrateKbps(from, block.layer, block.bitrateIndex);
        const int index = vl::probe::mpegAudioBitrateIndex(to, block.layer, kbps);
        if (index == 0) {
            error = settingsFile + ": " + std::to_string(kbps) + " kbps is not a Layer II bitrate at "
                + std::to_string(hertz) + " Hz";
            return false;
        }
        block.bitrateIndex = index;
    }
    block.sampleFrequency = hertz;
    return true;
}

// The settings file read at the input's sampling frequency, unless it names
// its own.
bool settingsForInput(CompanionModules& modules, const CommandLine& line, const PcmReader& input,
    EncoderSettings& block, std::string& error)
{
    if (!defaultBlock(modules, line, block, error))
        return false;
    block.sampleFrequency = input.sampleRate();
    if (!loadFile(modules, *line.settingsFile, block, error))
        return false;
    applyOverrides(line, block);
    if (block.layer == 1) {
        error = *line.settingsFile + ": Layer I cannot be encoded; libtwolame writes Layer II only";
        return false;
    }
    return moveToFrequency(block, input.sampleRate(), *line.settingsFile, error);
}

bool passesCheck(CompanionModules& modules, const EncoderSettings& block, const CommandLine& line, int& status)
{
    const MpegOutAudioChkSettingsFunc check = modules.encoderCheck();
    if (!check) {
        status = fail(modules.errorString());
        return false;
    }
    const CheckResult verdict = SettingsCheck(check).run(block);
    printFindings(stderr, verdict, line.verbose || !verdict.passed ? FindingLevel::Info : FindingLevel::Warning);
    status = exitDeclined;
    return verdict.passed;
}

bool transcode(
    PcmReader& input, const std::string& in, Layer2Encoder& encoder, AtomicOutput& output, std::string& error)
{
    ProgressBar progress(input.frames(), input.sampleRate());
    std::vector<short> samples;
    std::vector<unsigned char> frames;
    int64_t done = 0;
    bool ok = true;
    while (ok && input.read(samples, framesPerRead) && !samples.empty()) {
        frames.clear();
        ok = encoder.encode(samples, frames) && output.write(frames);
        done += static_cast<int64_t>(samples.size()) / input.channels();
        progress.update(done);
    }
    progress.finish();
    frames.clear();
    ok = ok && input.errorString().empty() && encoder.flush(frames) && output.write(frames) && output.commit();
    if (!ok) {
        error = !input.errorString().empty() ? in + ": " + input.errorString()
            : !encoder.errorString().empty() ? encoder.errorString()
                                             : output.errorString();
    }
    return ok;
}

} // namespace

int runEncode(const CommandLine& line, CompanionModules& modules)
{
    EncoderSettings block;
    std::string error;
    PcmReader input(line.files[0]);
    if (!usableInput(input, line.files[0], error) || !settingsForInput(modules, line, input, block, error))
        return fail(error);
    int status = exitSuccess;
    if (!passesCheck(modules, block, line, status))
        return status;
    Layer2Encoder encoder(block, input.channels());
    if (!encoder.isReady())
        return fail(encoder.errorString());
    AtomicOutput output(line.files[1]);
    if (!output.isOpen())
        return fail(output.errorString());
    if (!transcode(input, line.files[0], encoder, output, error))
        return fail(error);
    return exitSuccess;
}

} // namespace vl::host
