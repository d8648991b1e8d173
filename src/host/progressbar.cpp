#include "progressbar.h"

#include <cstdio>
#include <unistd.h>

namespace vl::host {

namespace {

constexpr int barWidth = 40;

} // namespace

ProgressBar::ProgressBar(int64_t total, int framesPerSecond)
    : enabled(isatty(STDERR_FILENO) == 1)
    , total(total)
    , framesPerSecond(framesPerSecond)
{
}

std::string ProgressBar::text(int64_t done, int64_t total, int framesPerSecond)
{
    char line[96];
    if (total <= 0) {
        std::snprintf(line, sizeof line, "encoding %.1f s", framesPerSecond > 0 ? double(done) / framesPerSecond : 0.0);
        return line;
    }
    const int64_t clamped = done < total ? done : total;
    const int filled = static_cast<int>(clamped * barWidth / total);
    const std::string bar = std::string(filled, '#') + std::string(barWidth - filled, '-');
    std::snprintf(line, sizeof line, "encoding [%s] %3d%%", bar.c_str(), static_cast<int>(clamped * 100 / total));
    return line;
}

void ProgressBar::update(int64_t done)
{
    if (!enabled)
        return;
    const std::string line = text(done, total, framesPerSecond);
    if (line == shown)
        return;
    shown = line;
    std::fprintf(stderr, "\r%s", line.c_str());
    std::fflush(stderr);
}

void ProgressBar::finish()
{
    if (enabled && !shown.empty())
        std::fputc('\n', stderr);
    shown.clear();
}

} // namespace vl::host
