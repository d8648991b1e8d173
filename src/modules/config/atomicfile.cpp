#include "atomicfile.h"

#include "regularfile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl::config {

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : descriptor(fd)
    {
    }
    ~FileDescriptor()
    {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return descriptor; }
    // Closes now, reporting the error a deferred write may surface here.
    bool close()
    {
        const int fd = descriptor;
        descriptor = -1;
        return ::close(fd) == 0;
    }

private:
    int descriptor;
};

bool writeAll(int fd, std::string_view content)
{
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// The directory part of path with its slash ("" for a bare name), and the rest.
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return { std::string(), path };
    }
    return { path.substr(0, slash + 1), path.substr(slash + 1) };
}

std::string directoryToOpen(const std::string& dir)
{
    return dir.empty() ? std::string(".") : dir;
}

std::string temporaryPrefix(const std::string& base)
{
    return "." + base + ".tmp";
}

// A name no other save uses: the process id tells a later save whether the
// file's writer still runs.
std::string temporaryName(const std::string& dir, const std::string& base)
{
    static std::atomic<unsigned> counter { 0 };
    return dir + temporaryPrefix(base) + std::to_string(::getpid()) + "_" + std::to_string(counter++);
}

// The writer's process id in "<pid>_<n>", or 0 when rest is not of that form.
pid_t writerOf(std::string_view rest)
{
    const auto isNumber = [](std::string_view s) {
        return !s.empty() && s.size() <= 10 && s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const size_t underscore = rest.find('_');
    if (underscore == std::string_view::npos || !isNumber(rest.substr(0, underscore))
        || !isNumber(rest.substr(underscore + 1))) {
        return 0;
    }
    const long pid = std::atol(std::string(rest.substr(0, underscore)).c_str());
    return pid > 0 && pid <= INT32_MAX ? static_cast<pid_t>(pid) : 0;
}

// Removes the temporary files of saves of base whose process is gone: what a
// save killed between creating and renaming its file leaves behind.
void removeStrays(const std::string& dir, const std::string& base)
{
    DIR* const listing = ::opendir(directoryToOpen(dir).c_str());
    if (!listing) {
        return;
    }
    const std::string prefix = temporaryPrefix(base);
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const pid_t writer = writerOf(name.substr(prefix.size()));
        if (writer > 0 && writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH) {
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
        }
    }
    ::closedir(listing);
}

// Gives the open file fd the name name: through its entry in /proc, or
// where there is none, directly (which Linux allows the privileged only).
bool linkDescriptor(int fd, const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
#ifdef AT_EMPTY_PATH
    return ::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
#else
    return false;
#endif
}

// Writes content to fd with its permission bits and flushes it to the disk.
bool fillAndFlush(FileDescriptor& fd, std::string_view content, std::optional<mode_t> permissions)
{
    return writeAll(fd.get(), content) && (!permissions || ::fchmod(fd.get(), *permissions) == 0)
        && ::fsync(fd.get()) == 0;
}

// Puts the temporary file in place; removes it when that fails.
bool renameInPlace(const std::string& temporary, const std::string& path)
{
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

enum class Outcome { Done, Failed, Unsupported };

// The new content in an unnamed file that gets a name only for the rename,
// so a save killed while it writes leaves nothing behind.
Outcome replaceThroughUnnamed(const std::string& path, std::string_view content, std::optional<mode_t> permissions)
{
#ifndef O_TMPFILE
    return Outcome::Unsupported; // a system without unnamed files
#else
    const auto [dir, base] = splitPath(path);
    FileDescriptor fd(::open(directoryToOpen(dir).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? Outcome::Unsupported : Outcome::Failed;
    }
    if (!fillAndFlush(fd, content, permissions)) {
        return Outcome::Failed;
    }
    const std::string temporary = temporaryName(dir, base);
    if (!linkDescriptor(fd.get(), temporary)) {
        return Outcome::Unsupported;
    }
    return fd.close() && renameInPlace(temporary, path) ? Outcome::Done : Outcome::Failed;
#endif
}

bool replaceThroughNamed(const std::string& path, std::string_view content, std::optional<mode_t> permissions)
{
    const auto [dir, base] = splitPath(path);
    std::string temporary;
    int created = -1;
    for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
        temporary = temporaryName(dir, base);
        created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created < 0 && errno != EEXIST) {
            return false;
        }
    }
    FileDescriptor fd(created);
    if (fd.get() < 0) {
        return false;
    }
    const bool written = fillAndFlush(fd, content, permissions);
    if (!fd.close() || !written) {
        ::unlink(temporary.c_str());
        return false;
    }
    return renameInPlace(temporary, path);
}

} // namespace

bool writeFileAtomically(
    const std::string& path, std::string_view content, std::optional<mode_t> permissions, TemporaryKind kind)
{
    const auto [dir, base] = splitPath(path);
    if (base.empty() || base == "." || base == "..") {
        return false;
    }
    removeStrays(dir, base);
    Outcome outcome = Outcome::Unsupported;
    if (kind == TemporaryKind::Unnamed) {
        outcome = replaceThroughUnnamed(path, content, permissions);
    }
    if (outcome == Outcome::Unsupported) {
        outcome = replaceThroughNamed(path, content, permissions) ? Outcome::Done : Outcome::Failed;
    }
    if (outcome != Outcome::Done) {
        return false;
    }
    // Make the rename itself durable; the new content is in place either way.
    FileDescriptor directory(::open(directoryToOpen(dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0) {
        ::fsync(directory.get());
    }
    return true;
}

bool keepAsBackup(const RegularFile& file, const std::string& path, const std::string& backupPath)
{
    const auto [dir, base] = splitPath(backupPath);
    removeStrays(dir, base);
    const std::string temporary = temporaryName(dir, base);
    if (linkDescriptor(file.descriptor(), temporary)) {
        return renameInPlace(temporary, backupPath);
    }
    return ::rename(path.c_str(), backupPath.c_str()) == 0;
}

} // namespace vl::config
