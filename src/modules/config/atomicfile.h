#ifndef VL_CONFIG_ATOMICFILE_H
#define VL_CONFIG_ATOMICFILE_H

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace vl::config {

class RegularFile;

// How the new content waits for its rename: unnamed where the file system
// can (O_TMPFILE, so a killed save leaves nothing behind), else as a hidden
// file ".NAME.tmp<pid>_<n>" beside the target.
enum class TemporaryKind { Unnamed, Named };

// Replaces the file at path with content, atomically: the content goes to a
// new file in the same directory, is flushed to the disk, and is then renamed
// over the old name, so a crash or a full disk never leaves a torn or empty
// file. path must not be a symbolic link (it would be replaced). The new file
// gets the permission bits given, or those of a new file under the umask.
// Temporary files that earlier saves of the same name left behind when they
// were killed are removed first, when their process no longer exists. False
// on any failure, in which case the old file is untouched and no temporary
// file is left behind.
bool writeFileAtomically(const std::string& path, std::string_view content,
    std::optional<mode_t> permissions = std::nullopt, TemporaryKind kind = TemporaryKind::Unnamed);

// Makes the open file reachable as backupPath too, replacing whatever that
// name held, without copying it: a second link to the file where the file
// system allows one, else the file at path is moved there.
bool keepAsBackup(const RegularFile& file, const std::string& path, const std::string& backupPath);

} // namespace vl::config

#endif
