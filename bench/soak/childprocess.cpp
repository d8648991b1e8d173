#include "childprocess.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

std::string ChildOutcome::text() const
{
    char line[64];
    switch (kind) {
    case Exited:
        std::snprintf(line, sizeof line, "exit %d", code);
        break;
    case Crashed:
        std::snprintf(line, sizeof line, "CRASH (signal %d)", code);
        break;
    case Hung:
        std::snprintf(line, sizeof line, "HANG (killed after %.0f s)", seconds);
        break;
    case NotStarted:
        std::snprintf(line, sizeof line, "fork failed");
        break;
    }
    return line;
}

ChildOutcome ChildProcess::run(const std::function<int()>& body, std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    std::fflush(nullptr); // no buffered output written twice
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    ChildOutcome outcome;
    if (pid < 0) {
        return outcome;
    }
    if (pid == 0) {
        const int code = body();
        std::fflush(nullptr);
        ::_exit(code);
    }
    int status = 0;
    auto pause = std::chrono::microseconds(200);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() - start > timeout) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            outcome.kind = ChildOutcome::Hung;
            outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
            return outcome;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(20));
    }
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (WIFEXITED(status)) {
        outcome.kind = ChildOutcome::Exited;
        outcome.code = WEXITSTATUS(status);
    } else {
        outcome.kind = ChildOutcome::Crashed;
        outcome.code = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    return outcome;
}
