#ifndef VL_SOAK_CHILDPROCESS_H
#define VL_SOAK_CHILDPROCESS_H

#include <chrono>
#include <functional>
#include <string>

// How a function run in a child process ended.
struct ChildOutcome
{
    enum Kind { Exited, Crashed, Hung, NotStarted } kind = NotStarted;
    int code = 0; // exit code, or the signal that ended the child
    double seconds = 0; // wall time until it ended or was killed

    // "exit 0", "crash (signal 11)", "HANG (killed after 5 s)", ...
    std::string text() const;
};

// Runs body in a forked child whose exit code is body's result. A child
// that outlives the timeout is killed with SIGKILL and counts as hung, so a
// call that blocks for ever costs one row, not the whole run.
class ChildProcess
{
public:
    static ChildOutcome run(const std::function<int()>& body, std::chrono::milliseconds timeout);
};

#endif
