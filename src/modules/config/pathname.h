#ifndef VL_CONFIG_PATHNAME_H
#define VL_CONFIG_PATHNAME_H

#include <string>

namespace vl::config {

// The dialog hands over a file name that went through UTF-8, Latin-1 and
// UTF-8 again, so a non-ASCII name arrives encoded twice. Returns the name
// encoded once, or an empty string when the bytes are not of that form.
std::string undoubledUtf8(const std::string& path);

// The file to read for a path the dialog gave: the path itself when it
// exists, else its singly encoded form when that exists.
std::string pathForLoad(const std::string& path);

// The file to write: the singly encoded form of a doubly encoded name,
// unless only the path as given names an existing file.
std::string pathForSave(const std::string& path);

} // namespace vl::config

#endif
