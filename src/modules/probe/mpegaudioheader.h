/*
 * The four-byte frame header of ISO/IEC 11172-3 and 13818-3 audio, frame
 * lengths, and the bitrate tables by version and layer.
 */
#ifndef VL_PROBE_MPEGAUDIOHEADER_H
#define VL_PROBE_MPEGAUDIOHEADER_H

#include <cstddef>
#include <cstdint>

namespace vl::probe {

struct MpegAudioHeader
{
    int version = 0; // 1 MPEG-1, 2 MPEG-2 LSF, 25 the unofficial MPEG-2.5
    int layer = 0; // 1, 2 or 3
    bool crc = false; // protection_bit clear: a CRC follows the header
    int bitrateIndex = 0; // 0 free format .. 14
    int sampleFrequency = 0;
    int frequencyIndex = 0;
    bool padding = false;
    bool privateBit = false;
    int mode = 0;
    int modeExtension = 0;
    bool copyright = false;
    bool original = false;
    int emphasis = 0;

    // Bytes from this header to the next; 0 in free format.
    int frameLength() const;
};

// Parses four bytes. False unless they are a syntactically possible header:
// sync, no reserved version, layer or sampling frequency, bitrate index not
// 15. Free format, Layer III, MPEG-2.5 and reserved emphasis still parse;
// the scanner decides what to make of them.
bool parseMpegAudioHeader(const uint8_t* p, MpegAudioHeader& h);

// Two headers of one stream: same version, layer, sampling frequency and
// protection. The bitrate may change between frames.
bool sameMpegAudioStream(const MpegAudioHeader& a, const MpegAudioHeader& b);

// kbit/s of a bitrate index for version (1, or 2 for 13818-3 lower sampling
// frequencies) and layer; 0 for index 0, 15 and anything outside the tables.
int mpegAudioBitrateKbps(int version, int layer, int bitrateIndex);

// The index with that rate, or 0 when the version and layer have no such rate.
int mpegAudioBitrateIndex(int version, int layer, int kbps);

// True for the lower sampling frequencies of ISO/IEC 13818-3: 16000, 22050
// and 24000 Hz. Every other value, valid or not, counts as MPEG-1.
bool isLowSamplingFrequency(int sampleFrequency);

// 2 for the lower sampling frequencies, else 1.
int mpegVersionForFrequency(int sampleFrequency);

} // namespace vl::probe

#endif
