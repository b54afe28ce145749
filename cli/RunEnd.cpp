#include "cli/RunEnd.h"

void RunEnd::Interrupt() {
    {
        std::lock_guard lock(Lock);
        ++Interrupts;
    }
    Changed.notify_all();
}

void RunEnd::OutputLost() {
    {
        std::lock_guard lock(Lock);
        Lost = true;
        ++Interrupts;
    }
    Changed.notify_all();
}

void RunEnd::RunEnded() {
    {
        std::lock_guard lock(Lock);
        Ended = true;
    }
    Changed.notify_all();
}

int RunEnd::WaitForChange(int interruptsSeen, std::optional<std::chrono::steady_clock::time_point> deadline) {
    std::unique_lock lock(Lock);
    const auto changed = [&] { return Ended || Interrupts != interruptsSeen; };
    if (deadline) Changed.wait_until(lock, *deadline, changed);
    else Changed.wait(lock, changed);
    return Ended ? -1 : Interrupts;
}

bool RunEnd::OutputWasLost() {
    std::lock_guard lock(Lock);
    return Lost;
}
