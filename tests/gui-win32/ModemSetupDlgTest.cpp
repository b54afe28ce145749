// The native main window under Wine. The dialog runs modally on a thread of its own, as
// start-up runs it, and the test works its controls from outside with window messages,
// against the virtual modem that the test's driver links as COM<KX_MODEM_COM>. The
// settings go to the registry key of this test program.

#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/CallMessages.h"
#include "engine/CheckRows.h"
#include "engine/ConfigStep.h"
#include "engine/Cp1251.h"
#include "engine/Messages.h"
#include "engine/PinRows.h"
#include "frontend/AboutText.h"
#include "frontend/LogFile.h"
#include "frontend/WindowChoices.h"
#include "gui-win32/ModemSetupDlg.h"
#include "gui-win32/Resource.h"
#include "os/Utf16_win32.h"
#include "serial/ComNames.h"
#include "settings/RegistryStore.h"
#include "tests/gui-win32/RunningDialog.h"
#include "toolkit/ControlIds.h"

namespace {

int32_t StoredValue(const wchar_t* name) {
    DWORD value = 0xDEADBEEF;
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, (ApplicationKey() + L"\\Settings\\CommPort").c_str(), name, RRF_RT_REG_DWORD,
                 nullptr, &value, &size);
    return static_cast<int32_t>(value);
}

// The COM number the driver gave the virtual modem.
int ModemCom() {
    const char* com = std::getenv("KX_MODEM_COM");
    return com ? std::atoi(com) : 0;
}

// Presses OK in the dialog ask of thread and expects the refusal box with text: closed,
// it leaves the dialog open.
void ExpectRefused(DWORD thread, HWND ask, const char* text) {
    PostMessageW(ask, WM_COMMAND, IDOK, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindThreadWindow(thread, Msg::ErrorCaption)) != nullptr; }));
    EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindow(ask));
}

using ModemSetupDlgTest = FirstStartTest;

// The window's system menu opened as Alt+Space opens it, while it stays open; it is
// closed, and gone from the screen, before the next one opens.
class OpenSystemMenu {
public:
    explicit OpenSystemMenu(const RunningDialog& w)
        : Dialog(w.Dialog), Thread(GetWindowThreadProcessId(w.Dialog, nullptr)) {
        PostMessageW(Dialog, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        EXPECT_TRUE(WaitFor([&] {
            const HWND popup = ShownPopup();
            Menu = popup ? reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) : nullptr;
            return Menu != nullptr;
        }));
    }
    ~OpenSystemMenu() {
        SendMessageW(Dialog, WM_CANCELMODE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return ShownPopup() == nullptr; }));
    }

    bool Greyed(UINT command) const { return (GetMenuState(Menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0; }

private:
    HWND ShownPopup() const {
        return FindThreadWindow(Thread, [](HWND window) {
            wchar_t type[16] = {};
            GetClassNameW(window, type, 16);
            return std::wstring(type) == L"#32768" && IsWindowVisible(window);
        });
    }

    HWND Dialog;
    DWORD Thread;
    HMENU Menu = nullptr;
};

TEST_F(ModemSetupDlgTest, FirstStartShowsTheLayoutWithTheDefaultChoices) {
    RunningDialog w(Store);
    EXPECT_EQ(Text(w.Dialog), "Тервана");

    struct Control {
        int Id;
        const wchar_t* Class;
        DWORD Style;
        DWORD Forbidden;
    };
    // Styles as the live controls keep them: Wine hands a drop-down list's scroll bar to
    // its open list and a list view's border to its frame.
    constexpr DWORD List = CBS_DROPDOWNLIST | WS_TABSTOP;
    for (const Control& c : {
             Control{ControlId::ComSelector, WC_COMBOBOXW, List | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, CBS_SORT},
             Control{ControlId::StartStop, WC_BUTTONW, WS_TABSTOP, BS_DEFPUSHBUTTON},
             Control{ControlId::StatusLine, WC_STATICW, SS_SUNKEN | WS_GROUP, SS_CENTER | SS_RIGHT},
             Control{ControlId::SpeedSelector, WC_COMBOBOXW, List, CBS_SORT},
             Control{ControlId::ModelSelector, WC_COMBOBOXW, List, CBS_SORT},
             Control{ControlId::PlaceSelector, WC_COMBOBOXW, List, CBS_SORT},
             Control{ControlId::LogView, WC_LISTVIEWW,
                     LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, 0},
             Control{ControlId::SaveLog, WC_BUTTONW, WS_TABSTOP, BS_DEFPUSHBUTTON},
         }) {
        wchar_t name[64] = {};
        GetClassNameW(w.Control(c.Id), name, 64);
        EXPECT_EQ(std::wstring(name), c.Class) << c.Id;
        const auto style = static_cast<DWORD>(GetWindowLongW(w.Control(c.Id), GWL_STYLE));
        EXPECT_EQ(style & c.Style, c.Style) << c.Id;
        EXPECT_EQ(style & c.Forbidden, 0u) << c.Id;
    }

    // The tab order is the layout order.
    std::vector<int> order;
    HWND next = GetDlgItem(w.Dialog, ControlId::ComSelector);
    do {
        order.push_back(GetDlgCtrlID(next));
        next = GetNextDlgTabItem(w.Dialog, next, FALSE);
    } while (next != GetDlgItem(w.Dialog, ControlId::ComSelector) && order.size() < 20);
    EXPECT_EQ(order, (std::vector<int>{1000, 1001, 1003, 1004, 1005, 1006, 1009}));

    Rows com;
    for (int n = 1; n <= ComPortCount; ++n) com.push_back("COM" + std::to_string(n));
    EXPECT_EQ(w.Entries(ControlId::ComSelector), com);
    EXPECT_EQ(w.Entries(ControlId::PlaceSelector), (Rows{PlaceAtDevice, PlaceAtComputer}));
    EXPECT_EQ(w.Entries(ControlId::ModelSelector), Rows(ModemCatalogue.begin(), ModemCatalogue.end()));
    EXPECT_EQ(w.Entries(ControlId::SpeedSelector), Rows(SpeedTable.begin(), SpeedTable.end()));
    for (const auto& [id, index] : {std::pair{ControlId::ComSelector, 0}, {ControlId::ModelSelector, 0},
                                    {ControlId::SpeedSelector, 3}, {ControlId::PlaceSelector, 0}})
        EXPECT_EQ(w.Selected(id), index) << id;
    EXPECT_EQ(w.ControlText(ControlId::SpeedSelector), "9600");

    // One column, 20 pixels narrower than the client area.
    HWND log = w.Control(ControlId::LogView);
    wchar_t heading[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = heading;
    column.cchTextMax = 32;
    ASSERT_TRUE(SendMessageW(log, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(gFromUtf16(heading, wcslen(heading)), "Операция");
    EXPECT_FALSE(SendMessageW(log, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column)));
    RECT client{};
    GetClientRect(log, &client);
    column.mask = LVCF_WIDTH;
    SendMessageW(log, LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(column.cx, client.right - GetSystemMetricsForDpi(SM_CXVSCROLL, GetDpiForWindow(log)));
    // A cut row's tip is the window's own (the layout test points at one): the list view's
    // would show a second one on Windows.
    const auto extended = static_cast<DWORD>(SendMessageW(log, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(extended & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP | LVS_EX_CHECKBOXES),
              DWORD{LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES});
    // The heading is centred, as the layout asks, though a list view's first column is not.
    HDITEMW headingItem{};
    headingItem.mask = HDI_FORMAT;
    ASSERT_TRUE(Header_GetItem(ListView_GetHeader(log), 0, &headingItem));
    EXPECT_EQ(headingItem.fmt & HDF_JUSTIFYMASK, HDF_CENTER);

    // A separator, the About item, the check's item, the signal meter's, the PIN's and the
    // test call's; Wine may add items of its own before ours.
    HMENU menu = GetSystemMenu(w.Dialog, FALSE);
    const int items = GetMenuItemCount(menu);
    ASSERT_GE(items, 6);
    EXPECT_EQ(GetMenuState(menu, items - 6, MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
    const std::pair<const wchar_t*, UINT> ours[] = {{L"&About...", ModemSetupDlg::AboutCommand},
                                                     {L"Проверить модем", ModemSetupDlg::CheckCommand},
                                                     {L"Уровень сигнала…", ModemSetupDlg::SignalCommand},
                                                     {L"Снять PIN-код SIM-карты…", ModemSetupDlg::SimPinCommand},
                                                     {L"Пробный звонок…", ModemSetupDlg::TestCallCommand}};
    for (int i = 0; i < 5; ++i) {
        wchar_t item[32] = {};
        GetMenuStringW(menu, items - 5 + i, item, 32, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(item), ours[i].first);
        EXPECT_EQ(GetMenuItemID(menu, items - 5 + i), ours[i].second);
    }

    EXPECT_NE(SendMessageW(w.Dialog, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(w.Dialog, WM_GETICON, ICON_SMALL, 0), 0);
}

// Enter and Esc reach the dialog as IDOK and IDCANCEL: neither ends it or starts a job.
// A whole job then runs against the virtual modem, the choices are stored at its start,
// and the next start shows them.
TEST_F(ModemSetupDlgTest, AJobRunsToSuccessAndItsChoicesComeBackAtTheNextStart) {
    const int com = ModemCom();
    ASSERT_GT(com, 0) << "KX_MODEM_COM: the driver gives the virtual modem's COM number";
    {
        RunningDialog w(Store);
        w.Select(ControlId::ComSelector, com - 1);
        w.Select(ControlId::ModelSelector, 1);
        w.Select(ControlId::SpeedSelector, 5);
        w.Select(ControlId::PlaceSelector, 1);
        for (WPARAM key : {IDOK, IDCANCEL}) SendMessageW(w.Dialog, WM_COMMAND, key, 0);

        w.Send(ControlId::StartStop, BM_CLICK);
        ASSERT_TRUE(WaitFor([&] { return w.ControlText(ControlId::StartStop) == "Стоп!"; }));
        ASSERT_TRUE(WaitFor([&] { return w.JobEnded(); }));
        const Rows rows = w.LogRows();
        EXPECT_EQ(rows.front(), "Открытие СОМ" + std::to_string(com));
        EXPECT_EQ(rows.back(), Succeeded);
        EXPECT_NE(std::find(rows.begin(), rows.end(), "Выполнение команды AT+IPR=19200"), rows.end());
        EXPECT_EQ(w.ControlText(ControlId::StatusLine), Succeeded);
        EXPECT_FALSE(w.Ended);

        EXPECT_EQ(StoredValue(L"CommNum"), com - 1);
        EXPECT_EQ(StoredValue(L"ModemType"), 1);
        EXPECT_EQ(StoredValue(L"BaudRateInd"), 5);
        EXPECT_EQ(StoredValue(L"IsLocal"), 1);
    }
    RunningDialog next(Store);
    for (const auto& [id, index] : {std::pair{ControlId::ComSelector, com - 1}, {ControlId::ModelSelector, 1},
                                    {ControlId::SpeedSelector, 5}, {ControlId::PlaceSelector, 1}})
        EXPECT_EQ(next.Selected(id), index) << id;
}

// System commands 16 to 31 open the About box; it ends with OK.
TEST_F(ModemSetupDlgTest, TheSystemMenuItemOpensTheAboutBox) {
    RunningDialog w(Store);
    const DWORD thread = GetWindowThreadProcessId(w.Dialog, nullptr);
    for (WPARAM command : {WPARAM{16}, WPARAM{31}}) {
        PostMessageW(w.Dialog, WM_SYSCOMMAND, command, 0);
        HWND about = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (about = FindThreadWindow(thread, AboutCaption)) != nullptr; })) << command;
        EXPECT_EQ(Text(GetDlgItem(about, 1008)), gAboutVersionText());
        EXPECT_EQ(Text(GetDlgItem(about, 1007)), gAboutCopyrightText());
        EXPECT_EQ(GetWindow(about, GW_OWNER), w.Dialog);
        PostMessageW(about, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); })) << command;
    }
    EXPECT_FALSE(w.Ended);
}

// F1 gives the Windows operator the COM number as Device Manager shows it, and nothing
// of Linux.
TEST_F(ModemSetupDlgTest, HelpNamesThePortAsDeviceManagerShowsIt) {
    RunningDialog w(Store);
    // WM_HELP carries a pointer, so it cannot be posted; it is sent from a thread that
    // waits while the box is open, as the key's own handling does.
    std::thread f1([&] {
        HELPINFO info{};
        info.cbSize = sizeof info;
        SendMessageW(w.Dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    });
    HWND help = nullptr;
    const bool shown = WaitFor([&] {
        return (help = FindThreadWindow(GetWindowThreadProcessId(w.Dialog, nullptr), "Справка")) != nullptr;
    });
    if (shown) {
        const std::string text = Text(GetDlgItem(help, 0xFFFF));
        for (const char* part : {"Диспетчер устройств", "«Порты (COM и LPT)»"})
            EXPECT_NE(text.find(part), std::string::npos) << part;
        for (const char* part : {"dialout", "Linux", "~/.config"})
            EXPECT_EQ(text.find(part), std::string::npos) << part;
        PostMessageW(help, WM_COMMAND, IDOK, 0);
    }
    f1.join();
    EXPECT_TRUE(shown);
}

// The system menu's check reports every item from the virtual modem and stores nothing.
TEST_F(ModemSetupDlgTest, TheSystemMenuCheckReportsTheModem) {
    const int com = ModemCom();
    ASSERT_GT(com, 0) << "KX_MODEM_COM: the driver gives the virtual modem's COM number";
    RunningDialog w(Store);
    w.Select(ControlId::ComSelector, com - 1);
    ASSERT_TRUE(w.CheckAnswered());
    const Rows rows = w.LogRows();
    for (const char* item : {"Изготовитель: ", "IMEI: ", "SIM-карта: ", "Уровень сигнала: ", "Регистрация в сети: "})
        EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [&](const std::string& r) { return r.rfind(item, 0) == 0; }), 1)
            << item;
    EXPECT_EQ(StoredValue(L"CommNum"), static_cast<int32_t>(0xDEADBEEF));
}

// The meter shows the virtual modem's level (17: -79 dBm, "хороший"); while it runs the
// system menu's run items are greyed, and Stop ends the job with its summary.
TEST_F(ModemSetupDlgTest, TheSignalMeterShowsTheLevelAndItsRunGreysTheRunItems) {
    const int com = ModemCom();
    ASSERT_GT(com, 0) << "KX_MODEM_COM: the driver gives the virtual modem's COM number";
    RunningDialog w(Store);
    w.Select(ControlId::ComSelector, com - 1);
    const UINT runCommands[] = {ModemSetupDlg::CheckCommand, ModemSetupDlg::SignalCommand,
                                ModemSetupDlg::SimPinCommand, ModemSetupDlg::TestCallCommand};
    auto greyed = [&](UINT command) { return OpenSystemMenu(w).Greyed(command); };
    EXPECT_FALSE(greyed(ModemSetupDlg::CheckCommand));
    PostMessageW(w.Dialog, WM_SYSCOMMAND, ModemSetupDlg::SignalCommand, 0);
    HWND meter = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        meter = FindThreadWindow(GetWindowThreadProcessId(w.Dialog, nullptr), std::string(ProductName) +
                                                                                   ": уровень сигнала");
        return meter && Text(GetDlgItem(meter, SignalMeter::FigureId)) == "-79 дБм";
    }));
    EXPECT_EQ(Text(GetDlgItem(meter, SignalMeter::WordsId)), "хороший");
    EXPECT_EQ(Text(GetDlgItem(meter, SignalMeter::RegistrationId)), "Регистрация: домашняя сеть");
    for (const UINT command : runCommands) EXPECT_TRUE(greyed(command)) << command;
    EXPECT_FALSE(greyed(ModemSetupDlg::AboutCommand));

    SendMessageW(GetDlgItem(meter, SignalMeter::StopId), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !Text(GetDlgItem(meter, SignalMeter::SummaryId)).empty(); }));
    const Rows rows = w.LogRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(Text(GetDlgItem(meter, SignalMeter::SummaryId)), rows.back());
    EXPECT_EQ(rows.back().rfind("Измерение завершено: показаний ", 0), 0u) << rows.back();
    ASSERT_TRUE(WaitFor([&] { return w.ControlText(ControlId::StartStop) == "Старт!"; }));
    for (const UINT command : runCommands) EXPECT_FALSE(greyed(command)) << command;
}

// The PIN dialog refuses what is not 4 to 8 digits with a box and stays open, sending
// nothing; Cancel runs nothing; a PIN it takes runs the job, which finds the virtual
// modem's card without a request and sends no PIN.
TEST_F(ModemSetupDlgTest, ThePinDialogRefusesABadPinAndSendsNothing) {
    const int com = ModemCom();
    ASSERT_GT(com, 0) << "KX_MODEM_COM: the driver gives the virtual modem's COM number";
    RunningDialog w(Store);
    w.Select(ControlId::ComSelector, com - 1);
    const DWORD thread = GetWindowThreadProcessId(w.Dialog, nullptr);
    auto openDialog = [&] {
        PostMessageW(w.Dialog, WM_SYSCOMMAND, ModemSetupDlg::SimPinCommand, 0);
        HWND ask = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (ask = FindThreadWindow(thread, SimPinCaption)) != nullptr; }));
        return ask;
    };

    HWND ask = openDialog();
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(Text(GetDlgItem(ask, IDC_PIN_PROMPT)), SimPinPrompt);
    const auto style = static_cast<DWORD>(GetWindowLongW(GetDlgItem(ask, IDC_PIN_FIELD), GWL_STYLE));
    EXPECT_EQ(style & (ES_PASSWORD | ES_NUMBER), DWORD{ES_PASSWORD | ES_NUMBER});
    // Set as a paste would: the field's digit-only style and its length limit stop typing only.
    for (const wchar_t* bad : {L"", L"123", L"123456789", L"12a4", L"１２３４", L" 1234"}) {
        SCOPED_TRACE(gFromUtf16(bad, wcslen(bad)));
        SetWindowTextW(GetDlgItem(ask, IDC_PIN_FIELD), bad);
        ExpectRefused(thread, ask, PinMsg::BadPin);
    }
    PostMessageW(ask, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(ask); }));
    EXPECT_EQ(w.LogRows(), Rows{});

    ask = openDialog();
    ASSERT_NE(ask, nullptr);
    SetWindowTextW(GetDlgItem(ask, IDC_PIN_FIELD), L"4711");
    PostMessageW(ask, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return w.JobEnded(); }));
    const Rows rows = w.LogRows();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[rows.size() - 2], PinMsg::AlreadyOff);
    EXPECT_EQ(rows.back(), Succeeded);
    for (const std::string& row : w.LogRows()) EXPECT_EQ(row.find("4711"), std::string::npos) << row;
}

// The test call's dialog refuses numbers that cannot be dialled and the calling modem's
// own port with a box and stays open; Cancel runs nothing.
TEST_F(ModemSetupDlgTest, TheTestCallDialogRefusesBadNumbers) {
    RunningDialog w(Store);
    w.Select(ControlId::ComSelector, 0);
    const DWORD thread = GetWindowThreadProcessId(w.Dialog, nullptr);
    PostMessageW(w.Dialog, WM_SYSCOMMAND, ModemSetupDlg::TestCallCommand, 0);
    HWND ask = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (ask = FindThreadWindow(thread, TestCallCaption)) != nullptr; }));
    EXPECT_EQ(Text(GetDlgItem(ask, IDC_CALL_NUMBER_PROMPT)), TestCallNumberPrompt);
    HWND ports = GetDlgItem(ask, IDC_CALL_PORT);
    EXPECT_EQ(SendMessageW(ports, CB_GETCOUNT, 0, 0), 33);
    EXPECT_EQ(SendMessageW(ports, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(IsDlgButtonChecked(ask, IDC_CALL_RESTART), UINT{BST_CHECKED});
    const struct {
        const wchar_t* Number;
        int Port;  // 0: none, n: COMn
        const char* Box;
    } cases[] = {
        {L"12a45", 0, CallMsg::BadNumber},
        {L"   ", 0, CallMsg::BadNumber},
        {L"12345;", 2, CallMsg::BadNumber},
        {L"123456789012345678901", 0, CallMsg::BadNumber},
        {L"\uFF11\uFF12\uFF13", 0, CallMsg::BadNumber},
        {L"", 0, CallMsg::BadNumber},
        {L"+0002", 1, CallMsg::SamePort},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(gFromUtf16(c.Number, wcslen(c.Number)));
        SetDlgItemTextW(ask, IDC_CALL_NUMBER, c.Number);
        SendMessageW(ports, CB_SETCURSEL, static_cast<WPARAM>(c.Port), 0);
        ExpectRefused(thread, ask, c.Box);
    }
    PostMessageW(ask, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(ask); }));
    EXPECT_EQ(w.LogRows(), Rows{});
}

// The file dialog of "Сохранить журнал" as the operator works it: a name typed into it
// and OK; a create prompt, where the dialog asks one, answered Yes.
class SaveDialog {
public:
    explicit SaveDialog(const RunningDialog& w) : Thread(GetWindowThreadProcessId(w.Dialog, nullptr)) {
        PostMessageW(w.Dialog, WM_COMMAND, MAKEWPARAM(ControlId::SaveLog, BN_CLICKED),
                     reinterpret_cast<LPARAM>(w.Control(ControlId::SaveLog)));
        EXPECT_TRUE(WaitFor([&] { return (Dialog = FindThreadWindow(Thread, "Сохранить...")) != nullptr; }));
    }

    // The box that the save ends with, or none once the dialog has gone without one.
    HWND Save(const std::wstring& name) {
        if (!Dialog) return nullptr;
        // The name field of an Explorer-style file dialog.
        SetDlgItemTextW(Dialog, cmb13, name.c_str());
        PostMessageW(Dialog, WM_COMMAND, IDOK, 0);
        HWND box = nullptr;
        EXPECT_TRUE(WaitFor([&] {
            if (HWND prompt = OwnedBox(Dialog)) PostMessageW(prompt, WM_COMMAND, IDYES, 0);
            box = FindThreadWindow(Thread, "Ошибка");
            if (!box) box = FindThreadWindow(Thread, "Информация");
            return box != nullptr || !IsWindow(Dialog);
        }));
        return box;
    }

private:
    // A message box that the file dialog owns.
    HWND OwnedBox(HWND owner) const {
        return FindThreadWindow(Thread, [owner](HWND window) {
            return GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window);
        });
    }

    DWORD Thread;
    HWND Dialog = nullptr;
};

std::string FileBytes(const std::wstring& path) {
    std::string bytes;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.append(chunk, n);
        std::fclose(f);
    }
    return bytes;
}

// Typed full paths save again and again without a crash, each file the log's rows in code
// page 1251 with CR LF; a name is given ".txt" once; a file that cannot be written gets
// the failure box with its path. (A path past 259 characters never leaves Wine's dialog:
// it stays open at OK.)
TEST_F(ModemSetupDlgTest, SavingTheLogByTypedPathsWritesTheRowsOrTellsWhy) {
    const int com = ModemCom();
    ASSERT_GT(com, 0) << "KX_MODEM_COM: the driver gives the virtual modem's COM number";
    // Wine's process numbers repeat from run to run; the clock makes the name new.
    const std::wstring folder = L"Z:\\tmp\\kx-save-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    struct Removal {
        std::wstring Folder;
        // The file dialog made the folder the current one, which keeps it from going.
        ~Removal() {
            SetCurrentDirectoryW(L"C:\\");
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::path(Folder), ignored);
        }
    } removal{folder};
    // A folder where the log's file would go: opening it for writing fails.
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\busy.txt").c_str(), nullptr));

    RunningDialog w(Store);
    w.Select(ControlId::ComSelector, com - 1);
    ASSERT_TRUE(w.CheckAnswered());
    std::string expected;
    for (const std::string& row : w.LogRows()) expected += gToCp1251(row) + "\r\n";

    for (int round = 1; round <= 10; ++round) {
        SCOPED_TRACE(round);
        const std::wstring name = folder + L"\\run" + std::to_wstring(round);
        SaveDialog save(w);
        EXPECT_EQ(save.Save(name), nullptr);
        EXPECT_EQ(FileBytes(name + L".txt"), expected);
    }

    const struct {
        const char* Name;
        std::wstring Typed;
        std::wstring Written;  // "": nothing is written
        std::string Box;       // "": no box
        std::string Caption;
    } cases[] = {
        {"a name with .txt is not given another", folder + L"\\given.txt", folder + L"\\given.txt", "", ""},
        {"a file that cannot be opened is told with its path", folder + L"\\busy", L"", "(gWriteTxtFile (1) - ",
         "Информация"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        SaveDialog save(w);
        HWND box = save.Save(c.Typed);
        if (c.Box.empty()) {
            EXPECT_EQ(box, nullptr);
        } else {
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(Text(box), c.Caption);
            EXPECT_NE(Text(GetDlgItem(box, 0xFFFF)).find(c.Box), std::string::npos) << Text(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
        }
        if (!c.Written.empty()) {
            EXPECT_EQ(FileBytes(c.Written), expected);
        }
    }
    EXPECT_FALSE(w.Ended);
}

// The close box during a job ends the window at once, and the port is free again for
// the next window's job.
TEST_F(ModemSetupDlgTest, ClosingDuringAJobEndsTheWindowEveryTime) {
    const int com = ModemCom();
    ASSERT_GT(com, 0) << "KX_MODEM_COM: the driver gives the virtual modem's COM number";
    for (int round = 0; round < 20; ++round) {
        RunningDialog w(Store);
        w.Select(ControlId::ComSelector, com - 1);
        w.Send(ControlId::StartStop, BM_CLICK);
        ASSERT_TRUE(WaitFor([&] { return w.LogRows().size() >= static_cast<size_t>(1 + round % 4); })) << round;
        const auto before = std::chrono::steady_clock::now();
        w.Close();
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10)) << round;
    }
    RunningDialog last(Store);
    last.Select(ControlId::ComSelector, com - 1);
    last.Send(ControlId::StartStop, BM_CLICK);
    ASSERT_TRUE(WaitFor([&] { return last.JobEnded(); }));
    EXPECT_EQ(last.LogRows().back(), Succeeded);
}

// The test call as the operator makes it in the window: both modems configured by the
// window, the call asked through the system menu and its dialog. It passes, or "Стоп!"
// or the close box comes during the data check; either way both modems end on-hook, and
// while the call runs the system menu's run items are greyed.
TEST_F(ModemSetupDlgTest, TheTestCallFromTheWindowLeavesBothModemsOnHook) {
    const CallModems calls = CallModems::FromEnvironment();
    ASSERT_TRUE(calls.Present()) << "KX_CALL_COMS: the driver gives the call's two modems";
    {
        RunningDialog w(Store);
        ASSERT_TRUE(w.Configured(calls.Device, 0)) << w.LogRows().back();
        ASSERT_TRUE(w.Configured(calls.Computer, 1)) << w.LogRows().back();
    }
    const std::string dataCheck = "Проверка данных";
    enum class During { Nothing, Stop, Close };
    const struct {
        const char* Name;
        bool Restart;
        During Action;  // at the data check
        Rows Expected;  // in this order, each by its beginning
    } cases[] = {
        {"Passed", true, During::Nothing,
         {"Выполнение команды AT+CFUN=1,1", "Набор номера " + calls.Number, "Модем прибора: входящий звонок (RING), 1-й",
          "Модем прибора сам ответил на звонок", "Соединение установлено", dataCheck,
          "Данные переданы без искажений: 1024 байт", "Выполнение команды ATH", CallMsg::Passed}},
        {"StoppedDuringTheDataCheck", false, During::Stop,
         {dataCheck, "Выполнение команды +++", "Выполнение команды ATH", CallMsg::OtherSideEnded, CallMsg::Stopped}},
        {"ClosedDuringTheDataCheck", false, During::Close, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        RunningDialog w(Store);
        ASSERT_TRUE(w.CallAsked(calls.Computer, calls.Number, calls.Device, c.Restart));
        if (c.Action != During::Nothing) {
            ASSERT_TRUE(WaitFor([&] {
                const Rows rows = w.LogRows();
                return !rows.empty() && rows.back().rfind(dataCheck, 0) == 0;
            })) << w.LogRows().back();
            EXPECT_TRUE(OpenSystemMenu(w).Greyed(ModemSetupDlg::TestCallCommand));
        }
        if (c.Action == During::Stop) w.Send(ControlId::StartStop, BM_CLICK);
        if (c.Action == During::Close) {
            w.Close();
        } else {
            ASSERT_TRUE(WaitFor([&] { return w.CallEnded(); }));
            const Rows rows = w.LogRows();
            auto at = rows.begin();
            for (const std::string& expected : c.Expected) {
                at = std::find_if(at, rows.end(), [&](const std::string& row) { return row.rfind(expected, 0) == 0; });
                EXPECT_NE(at, rows.end()) << expected;
                if (at == rows.end()) break;
            }
            EXPECT_EQ(rows.back(), c.Expected.back());
        }
        EXPECT_TRUE(WaitFor([&] { return calls.Stages() == calls.OnHook(); })) << calls.Stages();
    }
}

}  // namespace
