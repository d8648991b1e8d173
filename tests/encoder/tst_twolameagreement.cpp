// Agreement with a real Layer II encoder: for every MPEG-1 and lower sampling
// frequency, mode and bitrate, the check's verdict on the standards' rules
// (generic audio type) must equal whether libtwolame accepts the parameters.
#include "messagerecorder.h"
#include "mpegaudiotables.h"
#include "settingschecker.h"

#include <gtest/gtest.h>
#include <probe/mpegaudioheader.h>

#ifdef VL_HAVE_TWOLAME
#include <twolame.h>
#endif

namespace {

#ifdef VL_HAVE_TWOLAME
bool twolameAccepts(int hertz, int mode, int kbps)
{
    twolame_options* options = twolame_init();
    if (!options)
        return false;
    twolame_set_verbosity(options, 0);
    twolame_set_in_samplerate(options, hertz);
    twolame_set_out_samplerate(options, hertz);
    twolame_set_num_channels(options, mode == VL_MODE_MONO ? 1 : 2);
    twolame_set_mode(options, static_cast<TWOLAME_MPEG_mode>(mode));
    twolame_set_version(options, vl::probe::isLowSamplingFrequency(hertz) ? TWOLAME_MPEG2 : TWOLAME_MPEG1);
    twolame_set_bitrate(options, kbps);
    const bool accepted = twolame_init_params(options) == 0;
    twolame_close(&options);
    return accepted;
}
#endif

TEST(TwolameAgreement, SameVerdictForEveryFrequencyModeAndBitrate)
{
#ifndef VL_HAVE_TWOLAME
    GTEST_SKIP() << "libtwolame is not installed";
#else
    for (const int hertz : { 32000, 44100, 48000, 16000, 22050, 24000 }) {
        for (int mode = VL_MODE_STEREO; mode <= VL_MODE_MONO; ++mode) {
            int accepted = 0;
            for (int index = 1; index <= 14; ++index) {
                EncoderSettings s {};
                s.layer = 2;
                s.mode = mode;
                s.bitrateIndex = index;
                s.psychModel = 1;
                MessageRecorder recorder;
                const bool ours
                    = vl::encoder::SettingsChecker(recorder.callbacks()).check(&s, VL_AUDIO_MPEG2, hertz) == 0;
                const int kbps = vl::encoder::bitrateKbps(vl::probe::mpegVersionForFrequency(hertz), 2, index);
                EXPECT_EQ(ours, twolameAccepts(hertz, mode, kbps))
                    << hertz << " Hz, mode " << mode << ", " << kbps << " kbps; the check said: " << recorder.text;
                accepted += ours;
            }
            // Every combination accepts some bitrates; an always-failing check
            // would otherwise agree with a broken library.
            EXPECT_GT(accepted, 0) << hertz << " Hz, mode " << mode;
        }
    }
#endif
}

} // namespace
