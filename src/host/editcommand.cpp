// edit: a settings file through the dialog. The file is written only when
// the user confirms, through the settings-file module (which replaces it
// atomically); Cancel leaves it untouched.
#include "commandline.h"
#include "commands.h"
#include "companionmodules.h"
#include "dialogcall.h"
#include "settingsblock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vl::host {

namespace {

bool exists(const std::string& path)
{
    struct stat status
    {
    };
    return lstat(path.c_str(), &status) == 0;
}

// The save replaces the file through a new one beside it, so the directory
// must take new files; checked before the user spends time in the dialog.
bool directoryWritable(const std::string& path, std::string& error)
{
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    if (access(directory.c_str(), W_OK | X_OK) == 0)
        return true;
    error = "cannot save " + path + ": " + directory + ": " + std::strerror(errno);
    return false;
}

bool startingBlock(CompanionModules& modules, const CommandLine& line, EncoderSettings& block, std::string& error)
{
    const std::string& file = line.files.front();
    if (!defaultBlock(modules, line, block, error))
        return false;
    if (exists(file) && !loadFile(modules, file, block, error))
        return false;
    if (line.from && !loadFile(modules, *line.from, block, error))
        return false;
    applyOverrides(line, block);
    return directoryWritable(file, error);
}

} // namespace

int runEdit(const CommandLine& line, CompanionModules& modules)
{
    const std::string& file = line.files.front();
    EncoderSettings block;
    std::string error;
    if (!startingBlock(modules, line, block, error))
        return fail(error);
    const ShowMPAEncoderPagesFunc show = modules.dialog();
    if (!show)
        return fail(modules.errorString());
    const int32_t result = showDialog(show, block, line);
    if (result == VL_DIALOG_REJECTED)
        return exitDeclined;
    if (result != VL_DIALOG_ACCEPTED)
        return fail("the dialog could not start (--verbose shows the library's messages)");
    if (!saveFile(modules, file, block, error))
        return fail(error);
    if (line.verbose)
        std::fprintf(stderr, "mpa-settings: saved %s\n", file.c_str());
    return exitSuccess;
}

} // namespace vl::host
