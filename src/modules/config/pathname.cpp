#include "pathname.h"

#include "settingsfile.h"

#include <filesystem>

namespace vl::config {

namespace {

// The name is UTF-8, also where the system's own names are not.
bool exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::u8path(path), error);
}

} // namespace

std::string undoubledUtf8(const std::string& path)
{
    std::string once;
    bool nonAscii = false;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (c < 0x80) {
            once += static_cast<char>(c);
            continue;
        }
        // Only two-byte sequences for U+0080..U+00FF can stem from Latin-1.
        if ((c != 0xc2 && c != 0xc3) || i + 1 >= path.size()) {
            return {};
        }
        const auto next = static_cast<unsigned char>(path[++i]);
        if ((next & 0xc0) != 0x80) {
            return {};
        }
        once += static_cast<char>(((c & 0x03) << 6) | (next & 0x3f));
        nonAscii = true;
    }
    if (!nonAscii || !isSettingsText(once)) {
        return {};
    }
    return once;
}

std::string pathForLoad(const std::string& path)
{
    if (exists(path)) {
        return path;
    }
    const std::string once = undoubledUtf8(path);
    return !once.empty() && exists(once) ? once : path;
}

std::string pathForSave(const std::string& path)
{
    const std::string once = undoubledUtf8(path);
    if (once.empty() || (exists(path) && !exists(once))) {
        return path;
    }
    return once;
}

} // namespace vl::config
