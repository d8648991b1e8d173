#include "fixturetable.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

using vl::probe::Container;
using vl::probe::Status;

std::vector<FixtureExpectation> loadFixtureTable()
{
    static const std::map<std::string, Status> statuses = { { "ok", Status::Ok }, { "no-audio", Status::NoAudio },
        { "unsupported-layer", Status::UnsupportedLayer }, { "free-format", Status::FreeFormat },
        { "reserved-value", Status::ReservedValue }, { "malformed", Status::Malformed } };
    static const std::map<std::string, Container> containers = { { "elementary", Container::Elementary },
        { "program", Container::ProgramStream }, { "transport", Container::TransportStream },
        { "iso", Container::IsoMedia }, { "mxf", Container::Mxf }, { "dvd", Container::DvdIfo } };
    std::ifstream in(std::string(VL_FIXTURE_DIR) + "/expected.tsv");
    std::vector<FixtureExpectation> table;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#' || line.rfind("file\t", 0) == 0)
            continue;
        std::vector<std::string> cells;
        std::stringstream row(line);
        for (std::string cell; std::getline(row, cell, '\t');)
            cells.push_back(cell);
        FixtureExpectation f;
        if (cells.size() != 3 + f.numbers.size())
            throw std::runtime_error("bad row in expected.tsv: " + line);
        f.file = cells[0];
        f.status = statuses.at(cells[1]);
        if (cells[2] != "-")
            f.container = containers.at(cells[2]);
        for (size_t i = 0; i < f.numbers.size(); ++i)
            f.numbers[i] = cells[3 + i] == "-" ? std::nullopt : std::optional(std::stoi(cells[3 + i]));
        table.push_back(f);
    }
    if (table.empty())
        throw std::runtime_error("cannot read expected.tsv");
    return table;
}

std::vector<uint8_t> readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string fixtureName(const testing::TestParamInfo<FixtureExpectation>& info)
{
    std::string name = info.param.file;
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
}
