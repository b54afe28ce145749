#include "cli/InterruptWatcher.h"

#include <windows.h>

#include <mutex>

struct InterruptWatcher::Impl {
    std::function<void()> OnInterrupt;
    bool Started = false;
};

namespace {

// Windows ends the process once the handler of a console close returns, and at the
// latest 5 s after the close: the handler waits for the stopped run to end, a little
// less than that.
constexpr DWORD CloseGraceMs = 4500;

// Windows calls the control handler on a thread it starts for the event; the handler
// reaches the one watcher's callback through a guarded pointer.
std::mutex WatcherMutex;
std::function<void()>* Watcher = nullptr;
// Signalled as the watcher ends, which is when the run it watched has ended.
HANDLE Ended = nullptr;

BOOL WINAPI OnControl(DWORD event) {
    const bool closing = event == CTRL_CLOSE_EVENT || event == CTRL_SHUTDOWN_EVENT;
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && !closing) return FALSE;
    HANDLE ended = nullptr;
    {
        std::lock_guard lock(WatcherMutex);
        if (Watcher) (*Watcher)();
        ended = Ended;
    }
    if (closing && ended) WaitForSingleObject(ended, CloseGraceMs);
    return TRUE;
}

}  // namespace

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt) : P(std::make_unique<Impl>()) {
    P->OnInterrupt = std::move(onInterrupt);
}

void InterruptWatcher::Start() {
    {
        std::lock_guard lock(WatcherMutex);
        Watcher = &P->OnInterrupt;
        // Never closed: a handler may still wait on it when the process ends.
        if (!Ended) Ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (Ended) ResetEvent(Ended);
    }
    P->Started = SetConsoleCtrlHandler(OnControl, TRUE);
}

InterruptWatcher::~InterruptWatcher() {
    if (P->Started) SetConsoleCtrlHandler(OnControl, FALSE);
    std::lock_guard lock(WatcherMutex);
    Watcher = nullptr;
    if (Ended) SetEvent(Ended);
}
