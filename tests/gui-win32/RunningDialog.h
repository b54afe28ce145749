#pragma once
// The native main window as start-up runs it, on a thread of its own, and what the tests
// need to work it from outside with window messages.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "engine/CallMessages.h"
#include "engine/CheckRows.h"
#include "frontend/AboutText.h"
#include "frontend/WindowChoices.h"
#include "gui-win32/ModemSetupDlg.h"
#include "gui-win32/Resource.h"
#include "gui-win32/ThreadWindows.h"
#include "os/Utf16_win32.h"
#include "serial/ComNames.h"
#include "settings/RegistryStore.h"
#include "tests/support/CallStages.h"
#include "toolkit/ControlIds.h"

using Rows = std::vector<std::string>;

inline const std::string Succeeded = "Операция завершена успешно!";
inline const std::string NotSucceeded = "Операция завершена НЕ успешно!";

inline std::wstring ApplicationKey() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L'\\') + 1);
    return L"Software\\Halvstad\\" + name.substr(0, name.rfind(L'.'));
}

// The two virtual modems on one network that the driver links for test calls:
// KX_CALL_COMS "a,b" names the computer's and the device's COM numbers, KX_CALL_NUMBER
// the device's number and KX_CALL_STATE their state file.
struct CallModems {
    int Computer = 0;
    int Device = 0;
    std::string Number;
    std::string StateFile;

    static CallModems FromEnvironment() {
        CallModems modems;
        const char* coms = std::getenv("KX_CALL_COMS");
        if (!coms || std::sscanf(coms, "%d,%d", &modems.Computer, &modems.Device) != 2) return {};
        const char* number = std::getenv("KX_CALL_NUMBER");
        const char* state = std::getenv("KX_CALL_STATE");
        modems.Number = number ? number : "";
        modems.StateFile = state ? state : "";
        return modems;
    }
    bool Present() const { return Computer > 0; }
    std::string Stages() const { return gCallStages(StateFile); }
    std::string OnHook() const {
        return "COM" + std::to_string(Computer) + ":on-hook COM" + std::to_string(Device) + ":on-hook ";
    }
};

// Each test starts as a first start: nothing stored under the test program's key.
class FirstStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationKey().c_str());
        Store.SetRoot(CompanyName);
    }

    RegistryStore Store;
};

// The main window as start-up runs it, on its own thread, until it is closed.
class RunningDialog {
public:
    explicit RunningDialog(IntSettings& settings)
        : Thread([this, &settings] {
              ModemSetupDlg dialog(settings);
              ThreadId = GetCurrentThreadId();
              dialog.DoModal();
              Ended = true;
          }) {
        const bool shown = WaitFor([this] {
            return ThreadId != 0 && (Dialog = FindThreadWindow(ThreadId, ProductName)) != nullptr;
        });
        EXPECT_TRUE(shown);
    }
    ~RunningDialog() {
        if (!Ended) Close();
        Thread.join();
    }

    HWND Control(int id) const { return GetDlgItem(Dialog, id); }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(Control(id), message, wParam, lParam);
    }
    std::string ControlText(int id) const { return Text(Control(id)); }
    void Select(int id, int index) const { Send(id, CB_SETCURSEL, static_cast<WPARAM>(index)); }
    int Selected(int id) const { return static_cast<int>(Send(id, CB_GETCURSEL)); }

    Rows Entries(int id) const {
        Rows entries;
        for (int i = 0; i < static_cast<int>(Send(id, CB_GETCOUNT)); ++i) {
            std::wstring text(static_cast<size_t>(Send(id, CB_GETLBTEXTLEN, i)) + 1, L'\0');
            text.resize(static_cast<size_t>(Send(id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            entries.push_back(gFromUtf16(text.data(), text.size()));
        }
        return entries;
    }

    Rows LogRows() const {
        Rows rows;
        for (int row = 0; row < static_cast<int>(Send(ControlId::LogView, LVM_GETITEMCOUNT)); ++row) {
            wchar_t text[512];
            LVITEMW item{};
            item.pszText = text;
            item.cchTextMax = 512;
            const auto length = Send(ControlId::LogView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            rows.push_back(gFromUtf16(text, static_cast<size_t>(length)));
        }
        return rows;
    }

    // Runs the system menu's check and waits for its answered end.
    bool CheckAnswered() const {
        PostMessageW(Dialog, WM_SYSCOMMAND, ModemSetupDlg::CheckCommand, 0);
        return WaitFor([this] {
            const Rows rows = LogRows();
            return !rows.empty() && rows.back() == CheckMsg::Answered && ControlText(ControlId::StartStop) == "Старт!";
        });
    }

    bool JobEnded() const {
        const Rows rows = LogRows();
        return !rows.empty() && (rows.back() == Succeeded || rows.back() == NotSucceeded) &&
               ControlText(ControlId::StartStop) == "Старт!";
    }

    // Configures the modem on COM com for place (0 at the device, 1 at the computer) with
    // the other choices as they stand; true when the job succeeded.
    bool Configured(int com, int place) const {
        Select(ControlId::ComSelector, com - 1);
        Select(ControlId::PlaceSelector, place);
        Send(ControlId::StartStop, BM_CLICK);
        return WaitFor([this] { return ControlText(ControlId::StartStop) == "Стоп!" || JobEnded(); }) &&
               WaitFor([this] { return JobEnded(); }) && LogRows().back() == Succeeded;
    }

    // Asks for a test call from COM com through the system menu and its dialog, as the
    // operator does: the number, the device modem's port (0: none) and the restart box.
    bool CallAsked(int com, const std::string& number, int answerCom, bool restart) const {
        Select(ControlId::ComSelector, com - 1);
        PostMessageW(Dialog, WM_SYSCOMMAND, ModemSetupDlg::TestCallCommand, 0);
        HWND ask = nullptr;
        const DWORD thread = GetWindowThreadProcessId(Dialog, nullptr);
        if (!WaitFor([&] { return (ask = FindThreadWindow(thread, TestCallCaption)) != nullptr; })) return false;
        SetDlgItemTextW(ask, IDC_CALL_NUMBER, gToUtf16(number).c_str());
        SendDlgItemMessageW(ask, IDC_CALL_PORT, CB_SETCURSEL, static_cast<WPARAM>(answerCom), 0);
        CheckDlgButton(ask, IDC_CALL_RESTART, restart ? BST_CHECKED : BST_UNCHECKED);
        PostMessageW(ask, WM_COMMAND, IDOK, 0);
        return WaitFor([&] { return !IsWindow(ask); });
    }

    bool CallEnded() const {
        const Rows rows = LogRows();
        return !rows.empty() &&
               (rows.back() == CallMsg::Passed || rows.back() == CallMsg::Failed || rows.back() == CallMsg::Stopped) &&
               ControlText(ControlId::StartStop) == "Старт!";
    }

    // What the close box does. A window that does not end within the patience of
    // WaitFor is a hang: the program stops rather than wait for it.
    void Close() {
        PostMessageW(Dialog, WM_CLOSE, 0, 0);
        if (WaitFor([this] { return Ended.load(); })) return;
        std::fputs("The main window did not end after WM_CLOSE.\n", stderr);
        std::abort();
    }

    std::atomic<bool> Ended{false};
    HWND Dialog = nullptr;

private:
    std::atomic<DWORD> ThreadId{0};
    std::thread Thread;
};

