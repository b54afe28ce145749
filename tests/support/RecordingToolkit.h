#pragma once
// A Toolkit that keeps what it is asked in memory, for tests without a window, with
// snapshots for assertions and a wait for the recorded state to change.
// Safe to call from the worker and the test thread at once.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "toolkit/MemoryToolkit.h"

class RecordingToolkit : public MemoryToolkit {
public:
    struct Message {
        std::string Text;
        std::string Caption;
    };

    // Called (outside the lock) when a message box is shown, before it "closes"; a test can
    // block here to keep the box open.
    std::function<void(const Message&)> OnMessage;
    // The answer to each question (AskYesNo); none answers "Нет".
    std::function<bool(const Message&)> OnQuestion;

    void ShowMessage(const std::string& text, const std::string& caption) override {
        const Message m{text, caption};
        if (Locked([&] { MessageList.push_back(m); }) && OnMessage) OnMessage(m);
    }

    bool AskYesNo(const std::string& text, const std::string& caption) override {
        const Message m{text, caption};
        return Locked([&] { QuestionList.push_back(m); }) && OnQuestion && OnQuestion(m);
    }

    // Snapshots for assertions.
    std::vector<std::string> Rows(int id) {
        std::lock_guard lock(Mutex);
        return Logs[id];
    }
    std::vector<Message> Messages() {
        std::lock_guard lock(Mutex);
        return MessageList;
    }
    std::vector<Message> Questions() {
        std::lock_guard lock(Mutex);
        return QuestionList;
    }
    std::string Text(int id) {
        std::lock_guard lock(Mutex);
        return Texts[id];
    }
    std::vector<std::string> Items(int id) {
        std::lock_guard lock(Mutex);
        return Combos[id].Items;
    }
    std::vector<SignalReading> Signals() {
        std::lock_guard lock(Mutex);
        return Readings;
    }
    // Waits until pred() holds over the recorded state, or the time runs out.
    // pred may call the snapshots above; a short wait slice covers a change that lands
    // between its look and the next wait.
    bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 20000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (pred()) return true;
            std::unique_lock lock(Mutex);
            if (std::chrono::steady_clock::now() >= deadline) return false;
            Changed.wait_for(lock, std::chrono::milliseconds(20));
        }
    }

protected:
    void StateChanged() override { Changed.notify_all(); }

private:
    std::condition_variable Changed;
    std::vector<Message> MessageList;
    std::vector<Message> QuestionList;
};
