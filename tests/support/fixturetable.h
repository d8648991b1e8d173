// The fixtures' expected values, written by their generator (tests/fixtures/mpeg/expected.tsv).
#ifndef VL_SUPPORT_FIXTURETABLE_H
#define VL_SUPPORT_FIXTURETABLE_H

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <optional>
#include <probe/mpegprobe.h>
#include <string>
#include <vector>

struct FixtureExpectation
{
    std::string file; // relative to the fixture directory
    vl::probe::Status status = vl::probe::Status::NoAudio;
    std::optional<vl::probe::Container> container;
    // The numbers in column order; unset ones are unknown (a DVD IFO alone lacks some).
    std::array<std::optional<int>, 11> numbers;
    enum Column { Version, Layer, Mode, Kbps, BitrateIndex, Frequency, Emphasis, Private, Copyright, Original, Crc };

    std::string path() const { return std::string(VL_FIXTURE_DIR) + "/" + file; }
    // The numbers, `unknown` where the row leaves one open.
    std::array<int, 11> numbersOr(int unknown) const
    {
        std::array<int, 11> out {};
        std::transform(numbers.begin(), numbers.end(), out.begin(), [&](auto n) { return n.value_or(unknown); });
        return out;
    }
    // Usable audio in a single file (a DVD IFO reads the VOB beside it).
    bool usableAlone() const { return status == vl::probe::Status::Ok && container != vl::probe::Container::DvdIfo; }
};

std::vector<FixtureExpectation> loadFixtureTable();
std::vector<uint8_t> readFileBytes(const std::string& path);
// A case's test name: the file name, '_' for what is neither letter nor digit.
std::string fixtureName(const testing::TestParamInfo<FixtureExpectation>& info);

inline void PrintTo(const FixtureExpectation& f, std::ostream* os)
{
    *os << f.file;
}

#endif
