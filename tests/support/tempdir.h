// A new temporary directory, removed with its content; its path is UTF-8 with '/'.
#ifndef VL_SUPPORT_TEMPDIR_H
#define VL_SUPPORT_TEMPDIR_H

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

class TempDir
{
public:
    explicit TempDir(const std::string& prefix = "vl_test_")
    {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::filesystem::path candidate;
        do
            candidate = base / (prefix + std::to_string(std::random_device()()));
        while (!std::filesystem::create_directory(candidate));
        directory = candidate.generic_u8string();
    }
    ~TempDir() { std::filesystem::remove_all(std::filesystem::u8path(directory), ignored); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return directory; }
    std::string file(const std::string& name) const { return directory + "/" + name; }
    // The names in the directory, in UTF-8, sorted.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(directory)))
            names.push_back(entry.path().filename().u8string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string directory;
    std::error_code ignored;
};

#endif
