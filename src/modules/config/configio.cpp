#include "configio.h"

#include "atomicfile.h"
#include "pathname.h"
#include "regularfile.h"
#include "settingsfile.h"

#include <filesystem>
#include <new>
#include <probe/mpegprobe.h>

namespace vl::config {

namespace {

namespace fs = std::filesystem;

constexpr int32_t resultOk = 0;
constexpr int32_t resultFailed = 1;

// Bytes looked at to tell a settings file from an MPEG file.
constexpr size_t sniffSize = 4096;

bool looksLikeText(const RegularFile& file)
{
    std::string head;
    if (file.size() > maxSettingsFileSize || !file.readHead(sniffSize, head)) {
        return false;
    }
    // A multi-byte character cut at the end of the sample is fine.
    std::string_view sample(head);
    for (int cut = 0; cut < 3 && !sample.empty() && !isSettingsText(sample); ++cut) {
        sample.remove_suffix(1);
    }
    return isSettingsText(sample) && (head.empty() || !sample.empty());
}

int32_t loadSettingsText(EncoderSettings& settings, const RegularFile& file)
{
    std::string text;
    if (!file.readAll(maxSettingsFileSize, text)) {
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

// The file a save writes: path with the links of its last component
// followed, also to a name that does not exist yet, so that saving through
// a link updates or creates the file it names instead of replacing the
// link. Empty for a loop of links.
std::string followLinks(std::string path)
{
    constexpr int maxLinks = 40; // the kernel's own limit
    for (int depth = 0; depth < maxLinks; ++depth) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            return path;
        }
        const fs::path target = fs::read_symlink(path, error);
        if (error) {
            return {};
        }
        path = target.is_absolute() ? target.string() : (fs::path(path).parent_path() / target).string();
    }
    return {};
}

int32_t save(const EncoderSettings& settings, const std::string& requested)
{
    if (!fieldsInRange(settings)) {
        return resultFailed; // nothing written that would load as other values
    }
    const std::string path = followLinks(pathForSave(requested));
    if (path.empty()) {
        return resultFailed;
    }
    std::optional<std::string> text;
    std::optional<mode_t> permissions;
    {
        // Closed before it is replaced: Windows replaces no file that is open.
        const RegularFile existing(path);
        if (!existing.isOpen() && !existing.isMissing()) {
            return resultFailed; // a directory, FIFO or device, or unreadable
        }
        if (existing.isOpen()) {
            permissions = existing.permissions();
            std::string old;
            if (existing.size() <= maxSettingsFileSize) {
                if (!existing.readAll(maxSettingsFileSize, old)) {
                    return resultFailed;
                }
                text = mergeSettingsText(settings, old);
            }
            if (text && text->size() > maxSettingsFileSize) {
                return resultFailed; // its content kept, the file would be too large to load
            }
            // Not a settings file we can keep: keep it as a backup instead.
            if (!text && !keepAsBackup(existing, path, path + ".bak")) {
                return resultFailed;
            }
        }
    }
    if (!text) {
        text = mergeSettingsText(settings, std::string());
    }
    return text && writeFileAtomically(path, *text, permissions) ? resultOk : resultFailed;
}

} // namespace

int32_t loadSettings(EncoderSettings* settings, const char* path)
{
    if (!settings || !path || !*path) {
        return resultFailed;
    }
    try {
        const std::string name = pathForLoad(path);
        const RegularFile file(name);
        if (!file.isOpen()) {
            return resultFailed; // missing, unreadable, or a directory, FIFO or device
        }
        // The MPEG reader opens the name again, as a regular file only.
        return looksLikeText(file) ? loadSettingsText(*settings, file) : loadFromMpeg(*settings, name);
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
