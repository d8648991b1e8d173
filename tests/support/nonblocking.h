#ifndef VL_SUPPORT_NONBLOCKING_H
#define VL_SUPPORT_NONBLOCKING_H

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>

// Runs `call`; true when it returned within three seconds. A later call is set free by
// opening the other end of the FIFO `fifo`, so that a test fails instead of hanging.
inline bool returnsWithoutBlocking(const std::function<void()>& call, const std::string& fifo)
{
    std::atomic<bool> done { false };
    std::atomic<bool> late { false };
    std::thread watchdog([&] {
        for (int tick = 0; !done; ++tick) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            late = late || tick >= 300;
            const int writer = late && !done ? ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK) : -1;
            if (writer >= 0)
                ::close(writer);
        }
    });
    call();
    done = true;
    watchdog.join();
    return !late;
}

#endif
