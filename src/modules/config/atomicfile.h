#ifndef VL_CONFIG_ATOMICFILE_H
#define VL_CONFIG_ATOMICFILE_H

#include <string>
#include <string_view>

namespace vl::config {

// Replaces the file at path with content, atomically: the content goes to a
// new file beside it, is flushed to the disk, and is then renamed over the
// old name, so a crash or a full disk never leaves a torn or empty file. An
// existing file's permission bits are kept. False on any failure, in which
// case the old file is untouched and no temporary file is left behind.
bool writeFileAtomically(const std::string& path, std::string_view content);

// Reads a whole regular file of at most maxSize bytes. False when it is
// missing, not a regular file, larger, or unreadable.
bool readSmallFile(const std::string& path, size_t maxSize, std::string& content);

} // namespace vl::config

#endif
