#include "cli/InterruptWatcher.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

// SIGINT and SIGTERM are taken by sigwait on a thread of its own rather than in a
// handler. SIGPIPE is ignored: a closed output then fails the write, which the console
// front end treats as a stop.
struct InterruptWatcher::Impl {
    std::function<void()> OnInterrupt;
    sigset_t Signals;
    std::thread Thread;
    std::atomic<bool> Quit{false};
};

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt) : P(std::make_unique<Impl>()) {
    P->OnInterrupt = std::move(onInterrupt);
    sigemptyset(&P->Signals);
    sigaddset(&P->Signals, SIGINT);
    sigaddset(&P->Signals, SIGTERM);
    signal(SIGPIPE, SIG_IGN);
    pthread_sigmask(SIG_BLOCK, &P->Signals, nullptr);
}

void InterruptWatcher::Start() {
    P->Thread = std::thread([impl = P.get()] {
        for (;;) {
            int signal = 0;
            sigwait(&impl->Signals, &signal);
            if (impl->Quit) return;
            impl->OnInterrupt();
        }
    });
}

InterruptWatcher::~InterruptWatcher() {
    if (!P->Thread.joinable()) return;
    P->Quit = true;
    pthread_kill(P->Thread.native_handle(), SIGINT);
    P->Thread.join();
}
