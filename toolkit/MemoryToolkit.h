#pragma once
// A Toolkit whose controls live in memory: drop-down lists, control texts, log rows and
// the signal meter's readings, kept by the window's rules for selecting and for
// cancelling. Safe to call from the worker and the window's own thread at once. What a message box does, and what else is
// to be seen of a change, is left to the toolkit that derives from it.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "toolkit/Toolkit.h"

class MemoryToolkit : public Toolkit {
public:
    void ComboClear(int id) override { Locked([&] { Combos[id] = {}; }); }
    void ComboAppend(int id, const std::string& text) override { Locked([&] { Combos[id].Items.push_back(text); }); }
    void ComboSelect(int id, int index) override {
        Locked([&] {
            Combo& c = Combos[id];
            c.Selected = index >= 0 && index < static_cast<int>(c.Items.size()) ? index : -1;
        });
    }
    int ComboSelected(int id) override {
        std::lock_guard lock(Mutex);
        return Cancelled ? -1 : Combos[id].Selected;
    }
    std::string ComboText(int id) override {
        std::lock_guard lock(Mutex);
        const Combo& c = Combos[id];
        return Cancelled || c.Selected < 0 ? std::string() : c.Items[c.Selected];
    }
    void SetControlText(int id, const std::string& text) override {
        if (Locked([&] { Texts[id] = text; })) TextChanged(id, text);
    }
    int LogRowCount(int id) override {
        std::lock_guard lock(Mutex);
        return Cancelled ? 0 : static_cast<int>(Logs[id].size());
    }
    void LogInsertRow(int id, int position, const std::string& text) override {
        Locked([&] {
            std::vector<std::string>& rows = Logs[id];
            if (position < 0 || position > static_cast<int>(rows.size())) position = static_cast<int>(rows.size());
            rows.insert(rows.begin() + position, text);
            RowInserted(id, text);
        });
    }
    // Nothing is on screen to scroll.
    void LogScrollTo(int, int) override {}
    void LogDeleteAll(int id) override { Locked([&] { Logs[id].clear(); }); }
    std::string LogRowText(int id, int row) override {
        std::lock_guard lock(Mutex);
        const std::vector<std::string>& rows = Logs[id];
        return Cancelled || row < 0 || row >= static_cast<int>(rows.size()) ? std::string() : rows[row];
    }
    void ShowSignal(const SignalReading& reading) override {
        if (Locked([&] { Readings.push_back(reading); })) SignalShown(reading);
    }
    void CancelRequests() override {
        Locked([&] { Cancelled = true; }, true);
    }

protected:
    struct Combo {
        std::vector<std::string> Items;
        int Selected = -1;
    };

    // Under the lock, with each row as it goes in: rows reach it in the log's order of arrival.
    virtual void RowInserted(int, const std::string&) {}
    // Outside the lock, once a control's text has changed: a console that shows the
    // status line in place.
    virtual void TextChanged(int, const std::string&) {}
    // Outside the lock, with each reading of the signal job as it has been kept.
    virtual void SignalShown(const SignalReading&) {}
    // Outside the lock, after every change that took effect.
    virtual void StateChanged() {}

    // Runs change under the lock unless requests are cancelled, then tells StateChanged;
    // false when it did not run.
    template <typename F> bool Locked(F change, bool evenWhenCancelled = false) {
        {
            std::lock_guard lock(Mutex);
            if (Cancelled && !evenWhenCancelled) return false;
            change();
        }
        StateChanged();
        return true;
    }

    std::mutex Mutex;
    bool Cancelled = false;
    std::map<int, Combo> Combos;
    std::map<int, std::string> Texts;
    std::map<int, std::vector<std::string>> Logs;
    std::vector<SignalReading> Readings;  // the last one Ended once the job is over
};
