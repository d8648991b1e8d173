// writeFileAtomically and keepAsBackup on Windows: the same steps as on
// POSIX through the wide-character API, with names in UTF-8. Windows has no
// unnamed files, so the new content always waits under a temporary name, and
// of the permission bits only the owner's write bit, as the read-only
// attribute.
#include "atomicfile.h"
#include "regularfile.h"

#include <atomic>
#include <cstdlib>
#include <probe/nativefile.h>
#include <windows.h>

namespace vl::config {

namespace {

class Handle
{
public:
    explicit Handle(HANDLE handle)
        : handle(handle)
    {
    }
    ~Handle()
    {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return handle; }
    // Closes now, reporting the error a deferred write may surface here.
    bool close()
    {
        const HANDLE open = handle;
        handle = INVALID_HANDLE_VALUE;
        return CloseHandle(open) != 0;
    }

private:
    HANDLE handle;
};

std::wstring wide(const std::string& path)
{
    std::wstring name;
    return probe::widePath(path, name) ? name : std::wstring();
}

// The directory part of path with its separator ("" for a bare name), and
// the rest.
std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const size_t separator = path.find_last_of(probe::pathSeparators);
    if (separator == std::string::npos) {
        return { std::string(), path };
    }
    return { path.substr(0, separator + 1), path.substr(separator + 1) };
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
    return dir + temporaryPrefix(base) + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(counter++);
}

// The writer's process id in "<pid>_<n>", or 0 when rest is not of that form.
DWORD writerOf(const std::string& rest)
{
    const size_t underscore = rest.find('_');
    const auto isNumber = [](const std::string& s) {
        return !s.empty() && s.size() <= 10 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (underscore == std::string::npos || !isNumber(rest.substr(0, underscore))
        || !isNumber(rest.substr(underscore + 1))) {
        return 0;
    }
    const unsigned long long pid = std::strtoull(rest.substr(0, underscore).c_str(), nullptr, 10);
    return pid <= MAXDWORD ? static_cast<DWORD>(pid) : 0;
}

bool isRunning(DWORD pid)
{
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) {
        return GetLastError() != ERROR_INVALID_PARAMETER; // no such process
    }
    DWORD exitCode = 0;
    const bool running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

// Removes the temporary files of saves of base whose process is gone: what a
// save killed between creating and renaming its file leaves behind.
void removeStrays(const std::string& dir, const std::string& base)
{
    const std::string prefix = temporaryPrefix(base);
    WIN32_FIND_DATAW entry;
    const HANDLE listing = FindFirstFileW(wide(dir + prefix + "*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        char name[MAX_PATH * 3];
        if (WideCharToMultiByte(CP_UTF8, 0, entry.cFileName, -1, name, sizeof name, nullptr, nullptr) <= 0) {
            continue;
        }
        const std::string found = name;
        if (found.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const DWORD writer = writerOf(found.substr(prefix.size()));
        if (writer > 0 && writer != GetCurrentProcessId() && !isRunning(writer)) {
            DeleteFileW(wide(dir + found).c_str());
        }
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
}

bool writeAll(HANDLE file, std::string_view content)
{
    while (!content.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, content.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        content.remove_prefix(written);
    }
    return true;
}

// Puts the temporary file in place, flushed through to the disk; removes it
// when that fails. A read-only file is replaced too, as a rename replaces it
// on POSIX.
bool renameInPlace(const std::string& temporary, const std::string& path)
{
    const DWORD old = GetFileAttributesW(wide(path).c_str());
    const bool readOnly = old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY);
    if (readOnly) {
        SetFileAttributesW(wide(path).c_str(), old & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!MoveFileExW(wide(temporary).c_str(), wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (readOnly) {
            SetFileAttributesW(wide(path).c_str(), old);
        }
        DeleteFileW(wide(temporary).c_str());
        return false;
    }
    return true;
}

} // namespace

bool writeFileAtomically(
    const std::string& path, std::string_view content, std::optional<mode_t> permissions, TemporaryKind)
{
    const auto [dir, base] = splitPath(path);
    if (base.empty() || base == "." || base == ".." || wide(path).empty()) {
        return false;
    }
    removeStrays(dir, base);
    std::string temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = temporaryName(dir, base);
        created = CreateFileW(
            wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    Handle file(created);
    if (file.get() == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = writeAll(file.get(), content) && FlushFileBuffers(file.get());
    if (!file.close() || !written) {
        DeleteFileW(wide(temporary).c_str());
        return false;
    }
    if (!renameInPlace(temporary, path)) {
        return false;
    }
    if (permissions && !(*permissions & 0200)) {
        SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    return true;
}

bool keepAsBackup(const RegularFile&, const std::string& path, const std::string& backupPath)
{
    const auto [dir, base] = splitPath(backupPath);
    removeStrays(dir, base);
    // A second name for the file where the file system has hard links.
    const std::string temporary = temporaryName(dir, base);
    if (CreateHardLinkW(wide(temporary).c_str(), wide(path).c_str(), nullptr)) {
        return renameInPlace(temporary, backupPath);
    }
    return MoveFileExW(wide(path).c_str(), wide(backupPath).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

} // namespace vl::config
