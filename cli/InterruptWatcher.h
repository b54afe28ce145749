#pragma once
// The operator's Ctrl+C (on POSIX SIGTERM and SIGHUP too, on Windows the console window's
// closing and the system's shutdown too), told to a callback on a thread where any code
// may run: a thread of the watcher's own (POSIX) or the one the system starts for a
// console control event (Windows). On Windows a close waits for the watcher to end, which
// must therefore outlive the run it stops. On POSIX a closed pipe or a file over its size limit
// then fails the write instead of killing the program. Make it before any other thread starts: on POSIX every thread
// must inherit the blocked signals.

#include <functional>
#include <memory>

class InterruptWatcher {
public:
    explicit InterruptWatcher(std::function<void()> onInterrupt);
    ~InterruptWatcher();
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;

    // From now on each Ctrl+C calls the callback, until the watcher ends.
    void Start();

private:
    struct Impl;
    std::unique_ptr<Impl> P;
};
