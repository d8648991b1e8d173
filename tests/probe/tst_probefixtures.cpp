// Every committed fixture against the values its generator recorded.
#include "fixturetable.h"
#include "tempdir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <probe/mpegaudioheader.h>

using namespace vl::probe;

namespace {

void expectMatches(const FixtureExpectation& f, const ProbeResult& r)
{
    ASSERT_EQ(r.status, f.status) << statusText(r.status);
    if (f.container) {
        EXPECT_EQ(r.container, *f.container) << containerText(r.container);
    }
    if (f.status != Status::Ok)
        return;
    const AudioParams& a = r.audio;
    EXPECT_EQ((std::array<int, 11> { a.mpegVersion, a.layer, a.mode, a.bitrateKbps, a.bitrateIndex, a.sampleFrequency,
                  a.emphasis, a.privateBit, a.copyrightBit, a.originalBit, a.errorProtection }),
        f.numbersOr(0));
    EXPECT_EQ(a.channels, a.mode == 3 ? 1 : 2);
    // What the table leaves open must not be claimed as known.
    EXPECT_EQ((a.fields & FieldBitrate) != 0, f.numbers[FixtureExpectation::Kbps].has_value());
    EXPECT_EQ((a.fields & FieldHeaderBits) != 0, f.numbers[FixtureExpectation::Private].has_value());
}

using ProbeFixture = testing::TestWithParam<FixtureExpectation>;

// A single file gives the same from memory, under any name and, with audio, as a 2 GiB sparse file.
TEST_P(ProbeFixture, MatchesGeneratorParametersWhateverTheName)
{
    const FixtureExpectation& f = GetParam();
    const ProbeResult r = probeFile(f.path().c_str());
    expectMatches(f, r);
    EXPECT_GT(r.bytesRead, 0u);
    EXPECT_LE(r.bytesRead, 1024u * 1024u);
    if (f.container == Container::DvdIfo)
        return; // an IFO reads the VOB beside it, where its audio offset lies
    const std::vector<uint8_t> bytes = readFileBytes(f.path());
    expectMatches(f, probeMemory(bytes.data(), bytes.size()));
    const TempDir dir;
    for (const char* extension : { ".mp4", ".ts", "" }) {
        const std::string copy = dir.file(std::string("renamed") + extension);
        std::ofstream(copy, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        SCOPED_TRACE(extension);
        expectMatches(f, probeFile(copy.c_str()));
    }
    if (f.status != Status::Ok)
        return;
    // The audio offset points at the first frame.
    ASSERT_GE(r.audio.audioOffset, 0);
    ASSERT_LE(static_cast<size_t>(r.audio.audioOffset) + 4, bytes.size());
    MpegAudioHeader h;
    ASSERT_TRUE(parseMpegAudioHeader(bytes.data() + r.audio.audioOffset, h));
    EXPECT_EQ(std::tie(h.layer, h.sampleFrequency, h.bitrateIndex),
        std::tie(r.audio.layer, r.audio.sampleFrequency, r.audio.bitrateIndex));
    std::filesystem::resize_file(dir.file("renamed"), uint64_t(2) << 30);
    const ProbeResult sparse = probeFile(dir.file("renamed").c_str());
    expectMatches(f, sparse);
    EXPECT_LE(sparse.bytesRead, 1u << 20);
}

// A cut file gives the whole file's parameters or fails (the mode may differ: fewer frames).
TEST_P(ProbeFixture, CutNeverGivesWrongParameters)
{
    if (GetParam().container == Container::DvdIfo)
        return;
    const std::vector<uint8_t> bytes = readFileBytes(GetParam().path());
    const ProbeResult full = probeMemory(bytes.data(), bytes.size());
    const auto parameters = [](const AudioParams& a) {
        return std::tie(a.layer, a.mpegVersion, a.bitrateIndex, a.sampleFrequency, a.emphasis, a.privateBit,
            a.copyrightBit, a.originalBit, a.errorProtection);
    };
    std::vector<size_t> cuts = { 0, 1, 2, 3, 4, 7, 12, 100, 188, 1000, 2048, 4096, bytes.size() - 1 };
    for (size_t k = 1; k < 16; ++k)
        cuts.push_back(bytes.size() * k / 16);
    for (const size_t cut : cuts) {
        const ProbeResult r = probeMemory(bytes.data(), std::min(cut, bytes.size() - 1));
        if (r.status == Status::Ok) {
            EXPECT_EQ(parameters(r.audio), parameters(full.audio)) << "cut at " << cut;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, ProbeFixture, testing::ValuesIn(loadFixtureTable()), fixtureName);

} // namespace
