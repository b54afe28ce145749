#pragma once
// How a window's toolkit carries out the worker's requests on the window thread, for
// every front end: a request made on the window thread runs at once; one from any other
// thread is queued, the window thread is woken to run it, and the caller waits
// for its result. Cancel wakes every waiting request and makes every later one return at
// once without effect, whether or not the window thread still runs the queue: the window
// cancels before its controls go, so nothing waits on a window that is gone.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

class WindowRequests {
public:
    // onWindowThread tells whether the caller is the window thread; wake makes the window
    // thread call RunNext soon (a queued call, a posted message), once per request.
    WindowRequests(std::function<bool()> onWindowThread, std::function<void()> wake)
        : OnWindowThread(std::move(onWindowThread)), Wake(std::move(wake)) {}

    // Runs work on the window thread and returns its result, or ifCancelled. work must
    // own what it uses: after a cancellation the caller no longer waits for it.
    template <class Result> Result Run(Result ifCancelled, std::function<Result()> work) {
        if (OnWindowThread()) return IsCancelled() ? ifCancelled : work();

        struct Pending {
            bool Done = false;
            Result Value{};
        };
        const auto pending = std::make_shared<Pending>();
        {
            std::lock_guard lock(Mutex);
            if (Cancelled) return ifCancelled;
            Queue.push_back([this, pending, work = std::move(work)] {
                Result value = work();
                std::lock_guard lock(Mutex);
                pending->Value = std::move(value);
                pending->Done = true;
            });
        }
        Wake();

        std::unique_lock lock(Mutex);
        Finished.wait(lock, [&] { return pending->Done || Cancelled; });
        return pending->Done ? pending->Value : ifCancelled;
    }

    void Run(std::function<void()> work);

    // Window thread: carries out the oldest queued request. One request per wake-up lets
    // the window settle between them (a row inserted is laid out before it is scrolled to).
    void RunNext();

    void Cancel();

private:
    bool IsCancelled();

    const std::function<bool()> OnWindowThread;
    const std::function<void()> Wake;

    std::mutex Mutex;
    std::condition_variable Finished;
    std::deque<std::function<void()>> Queue;
    bool Cancelled = false;
};
