#include "toolkit/WindowRequests.h"

void WindowRequests::Run(std::function<void()> work) {
    Run<bool>(false, [work = std::move(work)] {
        work();
        return true;
    });
}

void WindowRequests::RunNext() {
    std::function<void()> next;
    {
        std::lock_guard lock(Mutex);
        if (Cancelled || Queue.empty()) return;
        next = std::move(Queue.front());
        Queue.pop_front();
    }
    next();
    Finished.notify_all();
}

void WindowRequests::Cancel() {
    {
        std::lock_guard lock(Mutex);
        Cancelled = true;
        Queue.clear();
    }
    Finished.notify_all();
}

bool WindowRequests::IsCancelled() {
    std::lock_guard lock(Mutex);
    return Cancelled;
}
