#ifndef VL_HOST_PROGRAM_H
#define VL_HOST_PROGRAM_H

namespace vl::host {

// The whole of mpa-settings: parses the command line, runs the command and
// returns the exit status (0 success, 1 cancelled or declined, 2 error).
int runProgram(int argc, const char* const* argv);

} // namespace vl::host

#endif
