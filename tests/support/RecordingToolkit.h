#pragma once
// A Toolkit that keeps what it is asked in memory, for tests without a window.
// Safe to call from the worker and the test thread at once.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ui/Toolkit.h"

class RecordingToolkit : public Toolkit {
public:
    struct Message {
        std::string Text;
        std::string Caption;
    };

    // Called (outside the lock) when a message box is shown, before it "closes"; a test can
    // block here to keep the box open.
    std::function<void(const Message&)> OnMessage;

    void ShowMessage(const std::string& text, const std::string& caption) override {
        Message m{text, caption};
        {
            std::lock_guard lock(Mutex);
            if (Cancelled) return;
            MessageList.push_back(m);
        }
        Changed.notify_all();
        if (OnMessage) OnMessage(m);
    }
    void ComboClear(int id) override { Locked([&] { Combos[id] = {}; }); }
    void ComboAppend(int id, const std::string& text) override { Locked([&] { Combos[id].Items.push_back(text); }); }
    void ComboSelect(int id, int index) override {
        Locked([&] {
            auto& c = Combos[id];
            c.Selected = index >= 0 && index < static_cast<int>(c.Items.size()) ? index : -1;
        });
    }
    int ComboSelected(int id) override {
        std::lock_guard lock(Mutex);
        return Cancelled ? -1 : Combos[id].Selected;
    }
    std::string ComboText(int id) override {
        std::lock_guard lock(Mutex);
        const auto& c = Combos[id];
        return Cancelled || c.Selected < 0 ? std::string() : c.Items[c.Selected];
    }
    void SetControlText(int id, const std::string& text) override { Locked([&] { Texts[id] = text; }); }
    int LogRowCount(int id) override {
        std::lock_guard lock(Mutex);
        return Cancelled ? 0 : static_cast<int>(Logs[id].size());
    }
    void LogInsertRow(int id, int position, const std::string& text) override {
        Locked([&] {
            auto& rows = Logs[id];
            if (position < 0 || position > static_cast<int>(rows.size())) position = static_cast<int>(rows.size());
            rows.insert(rows.begin() + position, text);
        });
    }
    // Nothing is on screen to scroll.
    void LogScrollTo(int, int) override {}
    void LogDeleteAll(int id) override { Locked([&] { Logs[id].clear(); }); }
    std::string LogRowText(int id, int row) override {
        std::lock_guard lock(Mutex);
        const auto& rows = Logs[id];
        return Cancelled || row < 0 || row >= static_cast<int>(rows.size()) ? std::string() : rows[row];
    }
    void CancelRequests() override {
        Locked([&] { Cancelled = true; }, true);
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
    std::string Text(int id) {
        std::lock_guard lock(Mutex);
        return Texts[id];
    }
    std::vector<std::string> Items(int id) {
        std::lock_guard lock(Mutex);
        return Combos[id].Items;
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

private:
    struct Combo {
        std::vector<std::string> Items;
        int Selected = -1;
    };

    template <typename F> void Locked(F change, bool evenWhenCancelled = false) {
        {
            std::lock_guard lock(Mutex);
            if (Cancelled && !evenWhenCancelled) return;
            change();
        }
        Changed.notify_all();
    }

    std::mutex Mutex;
    std::condition_variable Changed;
    bool Cancelled = false;
    std::vector<Message> MessageList;
    std::map<int, Combo> Combos;
    std::map<int, std::string> Texts;
    std::map<int, std::vector<std::string>> Logs;
};
