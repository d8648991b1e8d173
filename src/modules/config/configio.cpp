#include "configio.h"

#include "atomicfile.h"
#include "pathname.h"
#include "settingsfile.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <probe/mpegprobe.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl::config {

namespace {

constexpr int32_t resultOk = 0;
constexpr int32_t resultFailed = 1;

// Bytes looked at to tell a settings file from an MPEG file.
constexpr size_t sniffSize = 4096;

bool sniffIsText(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st
    {
    };
    bool text = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= maxSettingsFileSize) {
        char head[sniffSize];
        const ssize_t n = ::pread(fd, head, sizeof head, 0);
        if (n >= 0) {
            // A multi-byte character cut at the end of the sample is fine.
            std::string_view sample(head, static_cast<size_t>(n));
            for (int cut = 0; cut < 3 && !sample.empty() && !isSettingsText(sample); ++cut) {
                sample.remove_suffix(1);
            }
            text = isSettingsText(sample) && (n == 0 || !sample.empty());
        }
    }
    ::close(fd);
    return text;
}

int32_t loadSettingsText(EncoderSettings& settings, const std::string& path)
{
    std::string text;
    if (!readSmallFile(path, maxSettingsFileSize, text)) {
        return resultFailed;
    }
    return applySettingsText(text, settings).ok() ? resultOk : resultFailed;
}

int32_t loadFromMpeg(EncoderSettings& settings, const std::string& path)
{
    const probe::ProbeResult result = probe::probeFile(path.c_str());
    if (result.status != probe::Status::Ok) {
        return resultFailed;
    }
    const probe::AudioParams& a = result.audio;
    if (a.fields & probe::FieldLayer) {
        settings.layer = a.layer;
    }
    if (a.fields & probe::FieldMode) {
        settings.mode = a.mode;
    }
    if (a.fields & probe::FieldBitrate) {
        settings.bitrateIndex = a.bitrateIndex;
    }
    if (a.fields & probe::FieldSampleFrequency) {
        settings.sampleFrequency = a.sampleFrequency;
    }
    if (a.fields & probe::FieldEmphasis) {
        settings.emphasis = a.emphasis;
    }
    if (a.fields & probe::FieldHeaderBits) {
        settings.privateBit = a.privateBit ? 1 : 0;
        settings.copyrightBit = a.copyrightBit ? 1 : 0;
        settings.originalBit = a.originalBit ? 1 : 0;
        settings.errorProtection = a.errorProtection ? 1 : 0;
    }
    return resultOk;
}

// A symbolic link is followed, so that saving updates the file it names
// instead of replacing the link with a file.
std::string followLink(const std::string& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return path;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

int32_t save(const EncoderSettings& settings, const std::string& requested)
{
    const std::string path = followLink(pathForSave(requested));
    std::string existing;
    struct stat st
    {
    };
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        return resultFailed;
    }
    const bool readable = exists && readSmallFile(path, maxSettingsFileSize, existing);
    std::optional<std::string> text = mergeSettingsText(settings, readable ? existing : std::string());
    if (!text || (exists && !readable)) {
        // Not a settings file we can keep: keep it as a backup instead.
        if (readable && !writeFileAtomically(path + ".bak", existing)) {
            return resultFailed;
        }
        if (exists && !readable) {
            return resultFailed; // neither mergeable nor safely copyable
        }
        text = mergeSettingsText(settings, std::string());
    }
    return text && writeFileAtomically(path, *text) ? resultOk : resultFailed;
}

} // namespace

int32_t loadSettings(EncoderSettings* settings, const char* path)
{
    if (!settings || !path || !*path) {
        return resultFailed;
    }
    try {
        const std::string file = pathForLoad(path);
        return sniffIsText(file) ? loadSettingsText(*settings, file) : loadFromMpeg(*settings, file);
    } catch (const std::bad_alloc&) {
        return resultFailed; // the block is only written after every allocation
    }
}

int32_t saveSettings(EncoderSettings* settings, const char* path)
{
    if (!settings || !path || !*path) {
        return resultFailed;
    }
    try {
        return save(*settings, path);
    } catch (const std::bad_alloc&) {
        return resultFailed;
    }
}

} // namespace vl::config
