#include "atomicoutput.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl::host {

namespace {

constexpr int cleanupSignals[] = { SIGINT, SIGTERM, SIGHUP };

// The temporary file a signal handler removes; empty when none is open.
char pendingFile[4096];

void removePendingAndDie(int signal)
{
    if (pendingFile[0])
        unlink(pendingFile);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void watchSignals(const std::string& file)
{
    file.copy(pendingFile, sizeof pendingFile - 1);
    pendingFile[std::min(file.size(), sizeof pendingFile - 1)] = '\0';
    for (const int signal : cleanupSignals)
        std::signal(signal, removePendingAndDie);
}

void unwatchSignals()
{
    for (const int signal : cleanupSignals)
        std::signal(signal, SIG_DFL);
    pendingFile[0] = '\0';
}

unsigned newFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// ".<name>.XXXXXX" in the directory of path.
std::string temporaryTemplate(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, start) + "." + path.substr(start) + ".XXXXXX";
}

} // namespace

AtomicOutput::AtomicOutput(const std::string& path)
    : path(path)
    , mode(newFileMode())
{
    struct stat status
    {
    };
    if (stat(path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            failed("not a regular file");
            return;
        }
        mode = status.st_mode & 07777;
    }
    std::string name = temporaryTemplate(path);
    descriptor = mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0) {
        failed(std::strerror(errno));
        return;
    }
    temporary = name;
    watchSignals(temporary);
}

AtomicOutput::~AtomicOutput()
{
    discard();
}

bool AtomicOutput::failed(const std::string& reason)
{
    error = path + ": " + reason;
    discard();
    return false;
}

void AtomicOutput::discard()
{
    if (descriptor < 0)
        return;
    close(descriptor);
    descriptor = -1;
    unlink(temporary.c_str());
    unwatchSignals();
}

bool AtomicOutput::write(const std::vector<unsigned char>& bytes)
{
    std::size_t done = 0;
    while (descriptor >= 0 && done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR)
            return failed(std::strerror(errno));
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    return descriptor >= 0;
}

bool AtomicOutput::commit()
{
    if (descriptor < 0)
        return false;
    if (fchmod(descriptor, mode) != 0 || fsync(descriptor) != 0)
        return failed(std::strerror(errno));
    const int closing = descriptor;
    descriptor = -1;
    if (close(closing) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        unwatchSignals();
        return false;
    }
    unwatchSignals();
    return true;
}

} // namespace vl::host
