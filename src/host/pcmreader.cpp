#include "pcmreader.h"

#include <cerrno>
#include <cstring>
#include <sndfile.h>
#include <sys/stat.h>

namespace vl::host {

PcmReader::PcmReader(const std::string& path)
{
    struct stat status
    {
    };
    if (stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : std::strerror(errno);
        return;
    }
    SF_INFO info {};
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = sf_strerror(nullptr);
        return;
    }
    rate = info.samplerate;
    channelCount = info.channels;
    // A stream without a known length reports the largest count.
    frameCount = info.frames > 0 && info.frames < SF_COUNT_MAX ? info.frames : -1;
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

PcmReader::~PcmReader()
{
    if (file)
        sf_close(file);
}

bool PcmReader::read(std::vector<short>& samples, int count)
{
    samples.resize(static_cast<std::size_t>(count) * static_cast<std::size_t>(channelCount));
    const sf_count_t done = sf_readf_short(file, samples.data(), count);
    samples.resize(static_cast<std::size_t>(done < 0 ? 0 : done) * static_cast<std::size_t>(channelCount));
    if (sf_error(file) != SF_ERR_NO_ERROR) {
        error = sf_strerror(file);
        return false;
    }
    return true;
}

} // namespace vl::host
