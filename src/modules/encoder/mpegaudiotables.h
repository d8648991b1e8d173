/*
 * Facts of ISO/IEC 11172-3 (MPEG-1 audio) and of the lower sampling
 * frequencies of ISO/IEC 13818-3 (called LSF here) that the settings check
 * needs: sampling frequencies, bitrate tables and the MPEG-1 Layer II
 * combinations of mode and bitrate.
 */
#ifndef VL_ENCODER_MPEGAUDIOTABLES_H
#define VL_ENCODER_MPEGAUDIOTABLES_H

#include <string>

namespace vl::encoder {

bool isMpeg1Frequency(int hertz);
// An MPEG-1 or an LSF frequency (vl::probe::isLowSamplingFrequency).
bool isStandardFrequency(int hertz);

// Kilobits per second of a bitrate index (1 to 14) for an MPEG version (1, 2)
// and layer (1, 2); 0 for free format, index 15 and anything outside.
int bitrateKbps(int mpegVersion, int layer, int bitrateIndex);

// ISO/IEC 11172-3 Layer II: mono up to 192 kbps; the two-channel modes from
// 64 kbps on, but not at 80 kbps. The LSF extension lifts these limits.
bool mpeg1Layer2Allows(int mode, int kbps);

// The frequency in kHz as people write it: "48", "44.1", "22.05".
std::string kiloHertzText(int hertz);

} // namespace vl::encoder

#endif
