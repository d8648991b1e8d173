#include "fixturetable.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

using vl::probe::Container;
using vl::probe::Status;

namespace {

std::optional<int> field(const std::string& text)
{
    if (text == "-") {
        return std::nullopt;
    }
    return std::stoi(text);
}

} // namespace

std::string FixtureExpectation::path() const
{
    return std::string(VL_FIXTURE_DIR) + "/" + file;
}

std::vector<FixtureExpectation> loadFixtureTable()
{
    static const std::map<std::string, Status> statuses = {
        { "ok", Status::Ok },
        { "no-audio", Status::NoAudio },
        { "unsupported-layer", Status::UnsupportedLayer },
        { "free-format", Status::FreeFormat },
        { "reserved-value", Status::ReservedValue },
        { "malformed", Status::Malformed },
    };
    static const std::map<std::string, Container> containers = {
        { "elementary", Container::Elementary },
        { "program", Container::ProgramStream },
        { "transport", Container::TransportStream },
        { "iso", Container::IsoMedia },
        { "mxf", Container::Mxf },
        { "dvd", Container::DvdIfo },
    };
    std::ifstream in(std::string(VL_FIXTURE_DIR) + "/expected.tsv");
    if (!in) {
        throw std::runtime_error("cannot read expected.tsv");
    }
    std::vector<FixtureExpectation> table;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("file\t", 0) == 0) {
            continue;
        }
        std::vector<std::string> cells;
        std::stringstream row(line);
        for (std::string cell; std::getline(row, cell, '\t');) {
            cells.push_back(cell);
        }
        if (cells.size() != 14) {
            throw std::runtime_error("bad row in expected.tsv: " + line);
        }
        FixtureExpectation f;
        f.file = cells[0];
        f.status = statuses.at(cells[1]);
        if (cells[2] != "-") {
            f.container = containers.at(cells[2]);
        }
        f.version = field(cells[3]);
        f.layer = field(cells[4]);
        f.mode = field(cells[5]);
        f.kbps = field(cells[6]);
        f.bitrateIndex = field(cells[7]);
        f.sampleFrequency = field(cells[8]);
        f.emphasis = field(cells[9]);
        f.privateBit = field(cells[10]);
        f.copyrightBit = field(cells[11]);
        f.originalBit = field(cells[12]);
        f.errorProtection = field(cells[13]);
        table.push_back(f);
    }
    return table;
}

std::vector<uint8_t> readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string fixtureName(const FixtureExpectation& f)
{
    std::string name;
    for (const char c : f.file) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}
