#include "program.h"

#include "commandline.h"
#include "commands.h"
#include "companionmodules.h"

#include <cstdio>
#include <cstdlib>
#include <sndfile.h>
#include <twolame.h>

#ifndef VL_VERSION
#define VL_VERSION "unknown"
#endif

namespace vl::host {

namespace {

using Runner = int (*)(const CommandLine&, CompanionModules&);

Runner runnerOf(Command command)
{
    switch (command) {
    case Command::Show:
        return runShow;
    case Command::Edit:
        return runEdit;
    case Command::Probe:
        return runProbe;
    case Command::Check:
        return runCheck;
    case Command::Encode:
        break;
    }
    return runEncode;
}

// The dialog library's debug lines and Qt's own notes (such as the one about
// XDG_RUNTIME_DIR) are not the program's output; only --verbose lets them
// through. Rules the user set are left alone.
void quietenQt(bool verbose)
{
    if (!verbose)
        setenv("QT_LOGGING_RULES", "*.debug=false;*.info=false;*.warning=false", 0);
}

void printVersion()
{
    char sndfileVersion[64] = {};
    sf_command(nullptr, SFC_GET_LIB_VERSION, sndfileVersion, sizeof sndfileVersion);
    std::printf("mpa-settings %s (libtwolame %s, %s)\n", VL_VERSION, get_twolame_version(), sndfileVersion);
}

} // namespace

int fail(const std::string& message)
{
    std::fprintf(stderr, "mpa-settings: %s\n", message.c_str());
    return exitError;
}

int runProgram(int argc, const char* const* argv)
{
    CommandLine line;
    std::string error;
    if (!parseCommandLine(argc, argv, line, error)) {
        const std::string help = std::string(commandName(line.command)) + " --help";
        return fail(error + "\nRun \"mpa-settings " + help + "\" for the options.");
    }
    if (line.version) {
        printVersion();
        return exitSuccess;
    }
    if (line.help) {
        const bool named = argc > 1 && commandName(line.command) == std::string(argv[1]);
        std::fputs((named ? commandUsage(line.command) : programUsage()).c_str(), stdout);
        return exitSuccess;
    }
    quietenQt(line.verbose);
    CompanionModules modules(line.library);
    if (line.verbose)
        std::fprintf(stderr, "mpa-settings: modules from %s\n", modules.moduleDirectory().c_str());
    return runnerOf(line.command)(line, modules);
}

} // namespace vl::host
