#ifndef VL_HOST_PROGRESSBAR_H
#define VL_HOST_PROGRESSBAR_H

#include <cstdint>
#include <string>

namespace vl::host {

// A one-line progress bar on stderr, redrawn in place; it draws only when
// stderr is a terminal, so logs and pipes stay clean.
class ProgressBar
{
public:
    // total < 0: unknown, then the bar shows seconds of audio done.
    ProgressBar(int64_t total, int framesPerSecond);

    void update(int64_t done);
    // Ends the line.
    void finish();

    // The line drawn for a state, without the leading carriage return.
    static std::string text(int64_t done, int64_t total, int framesPerSecond);

private:
    bool enabled;
    int64_t total;
    int framesPerSecond;
    std::string shown;
};

} // namespace vl::host

#endif
