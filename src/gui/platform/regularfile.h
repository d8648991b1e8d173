#ifndef VL_PLATFORM_REGULARFILE_H
#define VL_PLATFORM_REGULARFILE_H

class QFile;
class QString;

namespace Platform {

// Opens `file` read-only on the regular file at `path`. The open never
// blocks (a FIFO without a writer, a device), and the kind of file is taken
// from the open descriptor, so nothing can swap the file between the check
// and the reads. False, with `file` left closed, when the path cannot be
// opened or names anything but a regular file: a directory, FIFO, socket or
// device.
bool openRegularFile(const QString& path, QFile* file);

} // namespace Platform

#endif
