// The standards' tables behind the check.
#include "mpegaudiotables.h"

#include <gtest/gtest.h>

namespace {

struct BitrateRow
{
    int version;
    int layer;
    int kbps[16];
};

// ISO/IEC 11172-3 Table 2.4.2.3 and ISO/IEC 13818-3 Table 2.4.2.3, by index.
const BitrateRow kBitrates[] = {
    { 1, 1, { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0 } },
    { 1, 2, { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0 } },
    { 2, 1, { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0 } },
    { 2, 2, { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0 } },
};

TEST(MpegAudioTables, BitrateOfEveryIndex)
{
    for (const BitrateRow& row : kBitrates) {
        for (int index = -1; index <= 16; ++index) {
            const int expected = (index >= 0 && index <= 15) ? row.kbps[index] : 0;
            EXPECT_EQ(vl::enc::bitrateKbps(row.version, row.layer, index), expected)
                << "MPEG-" << row.version << " Layer " << row.layer << " index " << index;
        }
    }
    for (int layer : { 0, 3, -1 })
        EXPECT_EQ(vl::enc::bitrateKbps(1, layer, 5), 0) << layer;
}

TEST(MpegAudioTables, VersionOfFrequency)
{
    const struct
    {
        int hertz;
        bool mpeg1;
        bool lsf;
        int version;
    } rows[] = {
        { 32000, true, false, 1 },
        { 44100, true, false, 1 },
        { 48000, true, false, 1 },
        { 16000, false, true, 2 },
        { 22050, false, true, 2 },
        { 24000, false, true, 2 },
        { 0, false, false, 1 },
        { 11025, false, false, 1 },
        { 96000, false, false, 1 },
        { -48000, false, false, 1 },
    };
    for (const auto& r : rows) {
        EXPECT_EQ(vl::enc::isMpeg1Frequency(r.hertz), r.mpeg1) << r.hertz;
        EXPECT_EQ(vl::enc::isLsfFrequency(r.hertz), r.lsf) << r.hertz;
        EXPECT_EQ(vl::enc::isStandardFrequency(r.hertz), r.mpeg1 || r.lsf) << r.hertz;
        EXPECT_EQ(vl::enc::mpegVersionOf(r.hertz), r.version) << r.hertz;
    }
}

TEST(MpegAudioTables, KiloHertzAsWritten)
{
    const std::pair<int, const char*> rows[] = {
        { 48000, "48" },
        { 44100, "44.1" },
        { 32000, "32" },
        { 22050, "22.05" },
        { 16000, "16" },
        { 8001, "8.001" },
    };
    for (const auto& [hertz, text] : rows)
        EXPECT_EQ(vl::enc::kiloHertzText(hertz), text);
}

} // namespace
