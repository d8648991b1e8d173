// Every committed fixture against the values its generator recorded.
#include "fixturetable.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <probe/mpegaudioheader.h>
#include <unistd.h>

using namespace vl::probe;

namespace {

class ProbeFixture : public testing::TestWithParam<FixtureExpectation>
{
};

void expectMatches(const FixtureExpectation& f, const ProbeResult& r)
{
    ASSERT_EQ(r.status, f.status) << statusText(r.status);
    if (f.container) {
        EXPECT_EQ(r.container, *f.container) << containerText(r.container);
    }
    if (f.status != Status::Ok) {
        return;
    }
    const AudioParams& a = r.audio;
    auto check = [](const std::optional<int>& expected, int actual, const char* what) {
        if (expected) {
            EXPECT_EQ(actual, *expected) << what;
        }
    };
    check(f.version, a.mpegVersion, "version");
    check(f.layer, a.layer, "layer");
    check(f.mode, a.mode, "mode");
    check(f.kbps, a.bitrateKbps, "kbps");
    check(f.bitrateIndex, a.bitrateIndex, "bitrate index");
    check(f.sampleFrequency, a.sampleFrequency, "sampling frequency");
    check(f.emphasis, a.emphasis, "emphasis");
    check(f.privateBit, a.privateBit, "private");
    check(f.copyrightBit, a.copyrightBit, "copyright");
    check(f.originalBit, a.originalBit, "original");
    check(f.errorProtection, a.errorProtection, "error protection");
    EXPECT_EQ(a.channels, a.mode == 3 ? 1 : 2);
    // What the table leaves open must not be claimed as known.
    EXPECT_EQ((a.fields & FieldBitrate) != 0, f.kbps.has_value());
    EXPECT_EQ((a.fields & FieldHeaderBits) != 0, f.privateBit.has_value());
}

TEST_P(ProbeFixture, MatchesGeneratorParameters)
{
    const FixtureExpectation& f = GetParam();
    expectMatches(f, probeFile(f.path().c_str()));
}

TEST_P(ProbeFixture, ReadsAtMostOneMiB)
{
    const FixtureExpectation& f = GetParam();
    const ProbeResult r = probeFile(f.path().c_str());
    EXPECT_GT(r.bytesRead, 0u);
    EXPECT_LE(r.bytesRead, 1024u * 1024u);
}

class UsableFixture : public testing::TestWithParam<FixtureExpectation>
{
};

TEST_P(UsableFixture, AudioOffsetPointsAtTheFirstFrame)
{
    const FixtureExpectation& f = GetParam();
    const ProbeResult r = probeFile(f.path().c_str());
    ASSERT_EQ(r.status, Status::Ok);
    ASSERT_GE(r.audio.audioOffset, 0);
    const std::vector<uint8_t> bytes = readFileBytes(f.path());
    ASSERT_LE(static_cast<size_t>(r.audio.audioOffset) + 4, bytes.size());
    MpegAudioHeader h;
    ASSERT_TRUE(parseMpegAudioHeader(bytes.data() + r.audio.audioOffset, h));
    EXPECT_EQ(h.layer, r.audio.layer);
    EXPECT_EQ(h.sampleFrequency, r.audio.sampleFrequency);
    EXPECT_EQ(h.bitrateIndex, r.audio.bitrateIndex);
}

// Fixtures that are one file: a DVD IFO reads the VOB beside it, which is
// missing in memory, and its name leads to that VOB.
class SingleFileFixture : public testing::TestWithParam<FixtureExpectation>
{
};

TEST_P(SingleFileFixture, SameResultFromMemory)
{
    const FixtureExpectation& f = GetParam();
    const std::vector<uint8_t> bytes = readFileBytes(f.path());
    expectMatches(f, probeMemory(bytes.data(), bytes.size()));
}

// A name with the wrong extension changes nothing.
TEST_P(SingleFileFixture, ContentDecidesNotTheExtension)
{
    const FixtureExpectation& f = GetParam();
    for (const char* extension : { ".mp4", ".ts", ".mpa", ".ifo", ".mxf", "" }) {
        char dir[] = "/tmp/vl_probe_ext_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        const std::string copy = std::string(dir) + "/renamed" + extension;
        {
            const std::vector<uint8_t> bytes = readFileBytes(f.path());
            std::ofstream out(copy, std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
        SCOPED_TRACE(extension);
        expectMatches(f, probeFile(copy.c_str()));
        std::remove(copy.c_str());
        rmdir(dir);
    }
}

std::string testName(const testing::TestParamInfo<FixtureExpectation>& info)
{
    return fixtureName(info.param);
}

std::vector<FixtureExpectation> fixturesWhere(bool (*keep)(const FixtureExpectation&))
{
    std::vector<FixtureExpectation> out;
    for (const FixtureExpectation& f : loadFixtureTable()) {
        if (keep(f)) {
            out.push_back(f);
        }
    }
    return out;
}

bool isSingleFile(const FixtureExpectation& f)
{
    return f.container != Container::DvdIfo;
}

// A DVD's offset lies in its VOB, so the IFO reports none.
bool hasOffset(const FixtureExpectation& f)
{
    return f.status == Status::Ok && f.container != Container::DvdIfo;
}

INSTANTIATE_TEST_SUITE_P(Corpus, ProbeFixture, testing::ValuesIn(loadFixtureTable()), testName);
INSTANTIATE_TEST_SUITE_P(Corpus, SingleFileFixture, testing::ValuesIn(fixturesWhere(isSingleFile)), testName);
INSTANTIATE_TEST_SUITE_P(Corpus, UsableFixture, testing::ValuesIn(fixturesWhere(hasOffset)), testName);

TEST(ProbeCorpus, CoversEveryContainerAndEveryFailureKind)
{
    std::vector<bool> containers(7, false);
    std::vector<bool> statuses(8, false);
    for (const FixtureExpectation& f : loadFixtureTable()) {
        if (f.container && f.status == Status::Ok) {
            containers[static_cast<size_t>(*f.container)] = true;
        }
        statuses[static_cast<size_t>(f.status)] = true;
    }
    for (int c = 1; c <= 6; ++c) {
        EXPECT_TRUE(containers[static_cast<size_t>(c)]) << containerText(static_cast<Container>(c));
    }
    for (const Status s : { Status::Ok, Status::NoAudio, Status::UnsupportedLayer, Status::FreeFormat,
             Status::ReservedValue, Status::Malformed }) {
        EXPECT_TRUE(statuses[static_cast<size_t>(s)]) << statusText(s);
    }
}

} // namespace
