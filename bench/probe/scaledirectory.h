/*
 * A temporary directory of fixtures grown to a given size, the way each
 * container grows: a stream (elementary, program, transport, a DVD's VOB)
 * repeats itself, an ISO base media file gets a free box behind its content
 * and an MXF file a KLV fill item. A sparse-tailed copy is written so up to
 * some size and left a hole after it, inside that framing where there is one.
 */
#ifndef VL_PROBE_SCALEDIRECTORY_H
#define VL_PROBE_SCALEDIRECTORY_H

#include <cstdint>
#include <string>

namespace vl::bench {

enum class Growth {
    Repeat, // the content again and again, cut at the size
    IsoFreeBox, // one free box with a 64-bit size up to the size
    MxfFill // one KLV fill item up to the size
};

class ScaleDirectory
{
public:
    ScaleDirectory(); // creates the directory in /tmp
    ~ScaleDirectory(); // removes it with everything in it

    ScaleDirectory(const ScaleDirectory&) = delete;
    ScaleDirectory& operator=(const ScaleDirectory&) = delete;

    // Writes the fixture grown to size as name, with bytes written up to
    // dense and a hole after that; false on a write error.
    bool grow(const std::string& fixture, const std::string& name, uint64_t size, Growth growth, uint64_t dense);
    // Copies a file unchanged (the IFO that goes beside a grown VOB).
    bool copy(const std::string& source, const std::string& name);
    std::string path(const std::string& name) const { return dir + "/" + name; }
    bool valid() const { return !dir.empty(); }

private:
    std::string dir;
};

} // namespace vl::bench

#endif
