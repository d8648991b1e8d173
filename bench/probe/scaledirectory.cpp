#include "scaledirectory.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace vl::bench {

namespace {

using Bytes = std::vector<char>;

Bytes readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putBe(Bytes& out, uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
}

// The header of the filler that takes the rest of the file after `used` bytes.
Bytes fillerHeader(Growth growth, uint64_t used, uint64_t size)
{
    Bytes header;
    if (growth == Growth::IsoFreeBox) {
        putBe(header, 1, 4); // the size follows as 64 bits
        header.insert(header.end(), { 'f', 'r', 'e', 'e' });
        putBe(header, size - used, 8);
    } else if (growth == Growth::MxfFill) {
        // SMPTE 336M KLV fill item, its length in the 8-byte long BER form.
        header = { 0x06, 0x0e, 0x2b, 0x34, 0x01, 0x01, 0x01, 0x02, 0x03, 0x01, 0x02, 0x10, 0x01, 0x00, 0x00, 0x00,
            static_cast<char>(0x88) };
        putBe(header, size - used - 25, 8);
    }
    return header;
}

} // namespace

ScaleDirectory::ScaleDirectory()
{
    char name[] = "/tmp/vl_bench_scale_XXXXXX";
    if (mkdtemp(name)) {
        dir = name;
    }
}

ScaleDirectory::~ScaleDirectory()
{
    if (!dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
}

bool ScaleDirectory::grow(
    const std::string& fixture, const std::string& name, uint64_t size, Growth growth, uint64_t dense)
{
    const Bytes content = readAll(fixture);
    if (content.empty() || size < content.size() + 32) {
        return false;
    }
    std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    uint64_t written = content.size();
    if (growth != Growth::Repeat) {
        const Bytes header = fillerHeader(growth, written, size);
        out.write(header.data(), static_cast<std::streamsize>(header.size()));
        written += header.size();
    }
    dense = std::min(dense, size);
    if (written < dense) {
        // Write in large blocks: the content repeated, or zeros inside a filler.
        Bytes block;
        while (block.size() < (1u << 20)) {
            if (growth == Growth::Repeat) {
                block.insert(block.end(), content.begin(), content.end());
            } else {
                block.resize(1u << 20);
            }
        }
        while (written < dense && out) {
            const uint64_t n = std::min<uint64_t>(block.size(), dense - written);
            out.write(block.data(), static_cast<std::streamsize>(n));
            written += n;
        }
    }
    out.close();
    if (!out) {
        return false;
    }
    std::error_code error;
    std::filesystem::resize_file(path(name), size, error); // the hole after the dense part
    return !error;
}

bool ScaleDirectory::copy(const std::string& source, const std::string& name)
{
    std::error_code error;
    std::filesystem::copy_file(source, path(name), std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

} // namespace vl::bench
