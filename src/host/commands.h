/*
 * The commands of mpa-settings. Each takes the parsed command line and the
 * modules to work through, prints its result on stdout and its errors on
 * stderr, and returns the process's exit status.
 */
#ifndef VL_HOST_COMMANDS_H
#define VL_HOST_COMMANDS_H

#include <string>

namespace vl::host {

struct CommandLine;
class CompanionModules;

constexpr int exitSuccess = 0; // accepted, saved, passed, encoded
constexpr int exitDeclined = 1; // cancelled, check failed, a file unreadable
constexpr int exitError = 2; // usage, file and module errors

int runShow(const CommandLine& line, CompanionModules& modules);
int runEdit(const CommandLine& line, CompanionModules& modules);
int runProbe(const CommandLine& line, CompanionModules& modules);
int runCheck(const CommandLine& line, CompanionModules& modules);
int runEncode(const CommandLine& line, CompanionModules& modules);

// Prints "mpa-settings: <message>" on stderr; returns exitError.
int fail(const std::string& message);

} // namespace vl::host

#endif
