// The fixtures' expected values (tests/fixtures/mpeg/expected.tsv), written
// by the generator from the parameters the encoders were given.
#ifndef VL_TESTS_FIXTURETABLE_H
#define VL_TESTS_FIXTURETABLE_H

#include <optional>
#include <ostream>
#include <probe/mpegprobe.h>
#include <string>
#include <vector>

struct FixtureExpectation
{
    std::string file; // relative to the fixture directory
    vl::probe::Status status = vl::probe::Status::NoAudio;
    std::optional<vl::probe::Container> container;
    // Unset fields are not checked (a DVD IFO alone does not know them).
    std::optional<int> version, layer, mode, kbps, bitrateIndex, sampleFrequency, emphasis;
    std::optional<int> privateBit, copyrightBit, originalBit, errorProtection;

    std::string path() const;
};

std::vector<FixtureExpectation> loadFixtureTable();
std::vector<uint8_t> readFileBytes(const std::string& path);
std::string fixtureName(const FixtureExpectation& f); // usable as a test name

inline void PrintTo(const FixtureExpectation& f, std::ostream* os)
{
    *os << f.file;
}

#endif
