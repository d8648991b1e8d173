#ifndef VL_PLATFORM_LIBRARYDIRECTORY_H
#define VL_PLATFORM_LIBRARYDIRECTORY_H

#include <QString>

namespace Platform {

// Absolute directory, without a trailing separator, of the binary this code
// is linked into: the dialog library (or a test that links its objects).
// Empty when the system cannot tell.
QString libraryDirectory();

} // namespace Platform

#endif
