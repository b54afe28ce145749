#pragma once
// The window's part played on a console: each new log row goes to stdout as it comes,
// a message box's text to stderr (and counts as closed at once), the drop-down lists
// live in memory. It tells its owner when the Start/Stop caption changes, which marks
// the start and the end of a job.

#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ui/Toolkit.h"

class ConsoleToolkit : public Toolkit {
public:
    ConsoleToolkit(std::FILE* out, std::FILE* err) : Out(out), Err(err) {}

    // Called on the calling thread with each new Start/Stop caption.
    std::function<void(const std::string& caption)> OnCaption;

    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ComboClear(int id) override;
    void ComboAppend(int id, const std::string& text) override;
    void ComboSelect(int id, int index) override;
    int ComboSelected(int id) override;
    std::string ComboText(int id) override;
    void SetControlText(int id, const std::string& text) override;
    int LogRowCount(int id) override;
    void LogInsertRow(int id, int position, const std::string& text) override;
    void LogScrollTo(int, int) override {}
    void LogDeleteAll(int id) override;
    std::string LogRowText(int id, int row) override;
    void CancelRequests() override;

    std::string LastRow();

private:
    struct Combo {
        std::vector<std::string> Items;
        int Selected = -1;
    };

    std::mutex Mutex;
    std::FILE* Out;
    std::FILE* Err;
    bool Cancelled = false;
    std::map<int, Combo> Combos;
    std::vector<std::string> Rows;
};
