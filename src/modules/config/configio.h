/*
 * The load and save functions the settings-file module hands out. Both take
 * the dialog's settings block and a NUL-terminated UTF-8 path and return 0
 * on success, non-zero on failure; neither throws.
 */
#ifndef VL_CONFIG_CONFIGIO_H
#define VL_CONFIG_CONFIGIO_H

#include <cstddef>
#include <veltrano/mpa_settings.h>

namespace vl::config {

// Largest settings file read, merged or written.
constexpr size_t maxSettingsFileSize = 1024 * 1024;

// Loads a settings file, or the encoding parameters of the first MPEG-1/2
// Layer I/II audio stream of an MPEG file; the content decides which. A path
// that is not a regular file (a directory, FIFO or device) fails at once,
// without blocking. On failure the block is left exactly as it was.
int32_t loadSettings(EncoderSettings* settings, const char* path);

// Writes every known field to a settings file, keeping an existing file's
// other content, through symbolic links (also to a file that does not exist
// yet). An existing file that is not a settings file, or is larger than a
// settings file may be, is kept beside the new one as "<name>.bak". Fails,
// leaving the file untouched, for a block with a field out of range
// (fieldsInRange), for a settings file whose content kept would make it too
// large to load, and for a directory, FIFO, device or unreadable file.
int32_t saveSettings(EncoderSettings* settings, const char* path);

} // namespace vl::config

#endif
