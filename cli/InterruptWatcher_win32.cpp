#include "cli/InterruptWatcher.h"

#include <windows.h>

#include <mutex>

struct InterruptWatcher::Impl {
    std::function<void()> OnInterrupt;
    bool Started = false;
};

namespace {

// Windows calls the control handler on a thread it starts for the event; the handler
// reaches the one watcher's callback through a guarded pointer.
std::mutex WatcherMutex;
std::function<void()>* Watcher = nullptr;

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    std::lock_guard lock(WatcherMutex);
    if (Watcher) (*Watcher)();
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
    }
    P->Started = SetConsoleCtrlHandler(OnControl, TRUE);
}

InterruptWatcher::~InterruptWatcher() {
    if (P->Started) SetConsoleCtrlHandler(OnControl, FALSE);
    std::lock_guard lock(WatcherMutex);
    Watcher = nullptr;
}
