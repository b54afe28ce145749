#include "cli/InterruptWatcher.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

// SIGINT, SIGTERM and SIGHUP (the terminal closed under a running batch) are taken by
// sigwait on a thread of its own rather than in a handler; a SIGHUP ignored from the
// start (nohup) stays ignored. SIGPIPE is ignored: a closed output then fails the write, which the console
// front end treats as a stop. SIGXFSZ too: a report over the file size limit then fails
// its write with the reason, instead of ending the program with the batch untold.
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
    struct sigaction hangup {};
    if (sigaction(SIGHUP, nullptr, &hangup) == 0 && hangup.sa_handler != SIG_IGN) sigaddset(&P->Signals, SIGHUP);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
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
