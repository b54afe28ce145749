// kestrelix-screenshot.exe FOLDER COM PICTURE [DEVICE-COM]: a picture of the native window
// for the README, saved into FOLDER as a BMP file named with the display's DPI:
//   signal-meter  the signal meter after a run of readings from the virtual modem on COM
//                 (signal-meter-win32-DPI.bmp);
//   com-tip       the open COM list with the tip of COM's entry, a USB modem's port as
//                 Device Manager would list it (com-tip-win32-DPI.bmp);
//   after-job     the main window after a job against the virtual modem on COM
//                 (window-win32-after-job.bmp, at 96 DPI only);
//   after-call    the main window after a passed test call from the virtual modem on COM
//                 to the one on DEVICE-COM, each configured first, with the tip of its
//                 widest row under the pointer (window-win32-after-call-DPI.bmp).
// The caller provides the display, the prefix and the modems. The main window runs on its
// own thread, as start-up runs it, and this thread works it with window messages; it
// learns that a run ended from the engine's typed outcome.

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/RunOutcome.h"
#include "frontend/AboutText.h"
#include "frontend/WindowChoices.h"
#include "gui-win32/ModemSetupDlg.h"
#include "gui-win32/Resource.h"
#include "gui-win32/SignalMeter.h"
#include "gui-win32/ThreadWindows.h"
#include "serial/ComNames.h"
#include "settings/RegistryStore.h"
#include "tests/gui-win32/RegisteredPort.h"
#include "toolkit/ControlIds.h"

namespace {

RECT PlaceOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// A part of the screen as a 24-bit bottom-up BMP file, with the pop-ups in above drawn
// over it by themselves, in that order: without a window manager Wine may stack the
// dialog over its own pop-ups on the screen.
bool SaveBitmap(RECT r, const std::wstring& path, const std::vector<HWND>& above = {}) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    for (HWND popup : above) {
        const RECT at = PlaceOf(popup);
        SetViewportOrgEx(memory, at.left - r.left, at.top - r.top, nullptr);
        PrintWindow(popup, memory, 0);
    }
    SetViewportOrgEx(memory, 0, 0, nullptr);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> bits(static_cast<size_t>(stride) * static_cast<size_t>(height));
    const int lines = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bits.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(bits.data(), static_cast<std::streamsize>(bits.size()));
    return static_cast<bool>(out.flush());
}

int Fail(const char* why) {
    std::fprintf(stderr, "kestrelix-screenshot: %s\n", why);
    return 1;
}

// The runs' ends as the engine tells them, on its worker thread.
struct RunEnds {
    std::atomic<int> Count{0};
    std::atomic<RunResult> Last{RunResult::Failed};
};

std::wstring DpiName(HWND main) { return std::to_wstring(GetDpiForWindow(main)); }

// Starts a run with start and waits for its end: true when it succeeded. The button's
// caption comes back after the engine's word.
bool RunSucceeded(HWND main, const RunEnds& ends, const std::function<void()>& start) {
    const int before = ends.Count;
    start();
    const HWND button = GetDlgItem(main, ControlId::StartStop);
    return WaitFor([&] { return ends.Count > before && Text(button) == "Старт!"; }) &&
           ends.Last == RunResult::Succeeded;
}

bool Configured(HWND main, const RunEnds& ends, int com, int place) {
    SendDlgItemMessageW(main, ControlId::ComSelector, CB_SETCURSEL, static_cast<WPARAM>(com - 1), 0);
    SendDlgItemMessageW(main, ControlId::PlaceSelector, CB_SETCURSEL, static_cast<WPARAM>(place), 0);
    return RunSucceeded(main, ends, [main] { SendDlgItemMessageW(main, ControlId::StartStop, BM_CLICK, 0, 0); });
}

// The window has drawn itself once it is there.
int SaveWindow(HWND main, const std::wstring& file) {
    Sleep(300);
    return SaveBitmap(PlaceOf(main), file) ? 0 : Fail("cannot save the picture of the window");
}

int SignalMeterPicture(HWND main, DWORD thread, const std::wstring& folder) {
    PostMessageW(main, WM_SYSCOMMAND, ModemSetupDlg::SignalCommand, 0);
    const std::string caption = std::string(ProductName) + ": уровень сигнала";
    HWND meter = nullptr;
    if (!WaitFor([&] { return (meter = FindThreadWindow(thread, caption)) != nullptr; }))
        return Fail("the signal meter did not open");
    // The search, then enough readings to fill the plot.
    Sleep(9000);
    int status = 0;
    if (GetWindowTextLengthW(GetDlgItem(meter, SignalMeter::FigureId)) == 0)
        status = Fail("the signal meter shows no reading");
    else if (!SaveBitmap(PlaceOf(meter), folder + L"\\signal-meter-win32-" + DpiName(main) + L".bmp"))
        status = Fail("cannot save the picture of the signal meter");
    PostMessageW(meter, WM_CLOSE, 0, 0);
    return status;
}

// The tip of thread's that is showing, or none.
HWND ShownTip(DWORD thread) {
    return FindThreadWindow(thread, [](HWND window) {
        wchar_t type[64] = {};
        GetClassNameW(window, type, 64);
        return std::wstring(type) == TOOLTIPS_CLASSW && IsWindowVisible(window) && GetWindowTextLengthW(window) > 0;
    });
}

int ComTipPicture(HWND main, DWORD thread, int com, const std::wstring& folder) {
    const std::wstring name = L"COM" + std::to_wstring(com);
    const RegisteredPort port(name.c_str(), (L"GSM-модем USB (" + name + L")").c_str(), L"Halvstad", L"usbser");
    if (!port.Failure.empty()) return Fail(port.Failure.c_str());
    const HWND combo = GetDlgItem(main, ControlId::ComSelector);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    if (!WaitFor([&] { return IsWindowVisible(info.hwndList) != FALSE; })) return Fail("the COM list did not open");
    RECT entry{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(com - 1), reinterpret_cast<LPARAM>(&entry));
    HWND tip = nullptr;
    const bool shown = WaitPointingAt(Centre(info.hwndList, entry), [&] { return (tip = ShownTip(thread)) != nullptr; });
    if (!shown) return Fail("the COM entry's tip did not show");
    // The tip has drawn itself once it is there.
    Sleep(300);
    RECT all = PlaceOf(main);
    for (HWND part : {info.hwndList, tip}) {
        const RECT r = PlaceOf(part);
        UnionRect(&all, &all, &r);
    }
    const std::wstring file = folder + L"\\com-tip-win32-" + DpiName(main) + L".bmp";
    const int status = SaveBitmap(all, file, {info.hwndList, tip}) ? 0 : Fail("cannot save the picture of the COM list");
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    return status;
}

int AfterJobPicture(HWND main, const RunEnds& ends, const std::wstring& folder) {
    if (!RunSucceeded(main, ends, [main] { SendDlgItemMessageW(main, ControlId::StartStop, BM_CLICK, 0, 0); }))
        return Fail("the job did not succeed");
    return SaveWindow(main, folder + L"\\window-win32-after-job.bmp");
}

// The call's dialog filled in as the operator fills it: the device's number and port, and
// the restart that proves the stored profile.
void AskTestCall(HWND main, DWORD thread, int deviceCom, const std::string& number) {
    PostMessageW(main, WM_SYSCOMMAND, ModemSetupDlg::TestCallCommand, 0);
    HWND ask = nullptr;
    if (!WaitFor([&] { return (ask = FindThreadWindow(thread, TestCallCaption)) != nullptr; })) return;
    SetDlgItemTextW(ask, IDC_CALL_NUMBER, gToUtf16(number).c_str());
    SendDlgItemMessageW(ask, IDC_CALL_PORT, CB_SETCURSEL, static_cast<WPARAM>(deviceCom), 0);
    CheckDlgButton(ask, IDC_CALL_RESTART, BST_CHECKED);
    PostMessageW(ask, WM_COMMAND, IDOK, 0);
}

// The virtual modem's own number for a COM number: +0 and the number in three digits.
std::string VirtualNumber(int com) {
    char number[16];
    std::snprintf(number, sizeof number, "+0%03d", com);
    return number;
}

int AfterCallPicture(HWND main, DWORD thread, const RunEnds& ends, int com, int deviceCom,
                     const std::wstring& folder) {
    if (!Configured(main, ends, deviceCom, 0) || !Configured(main, ends, com, 1))
        return Fail("the modems could not be configured");
    SendDlgItemMessageW(main, ControlId::ComSelector, CB_SETCURSEL, static_cast<WPARAM>(com - 1), 0);
    if (!RunSucceeded(main, ends, [&] { AskTestCall(main, thread, deviceCom, VirtualNumber(deviceCom)); }))
        return Fail("the test call did not pass");
    // The widest row, which the column cuts, with its tip under the pointer.
    const HWND log = GetDlgItem(main, ControlId::LogView);
    const auto width = [log](int row) {
        wchar_t text[512] = {};
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(log, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return SendMessageW(log, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text));
    };
    int widest = 0;
    for (int row = 1; row < ListView_GetItemCount(log); ++row)
        if (width(row) > width(widest)) widest = row;
    ListView_EnsureVisible(log, widest, FALSE);
    RECT label{};
    ListView_GetItemRect(log, widest, &label, LVIR_LABEL);
    HWND tip = nullptr;
    if (!WaitPointingAt(Centre(log, label), [&] { return (tip = ShownTip(thread)) != nullptr; }))
        return Fail("the long row's tip did not show");
    // The tip has drawn itself once it is there.
    Sleep(300);
    RECT all = PlaceOf(main);
    const RECT below = PlaceOf(tip);
    UnionRect(&all, &all, &below);
    const std::wstring file = folder + L"\\window-win32-after-call-" + DpiName(main) + L".bmp";
    return SaveBitmap(all, file, {tip}) ? 0 : Fail("cannot save the picture of the window");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring picture = argc >= 4 ? argv[3] : L"";
    const bool call = picture == L"after-call";
    const bool known = picture == L"signal-meter" || picture == L"com-tip" || picture == L"after-job" || call;
    const auto isCom = [](const wchar_t* text) { return _wtoi(text) >= 1 && _wtoi(text) <= ComPortCount; };
    if (!known || argc != (call ? 5 : 4) || !isCom(argv[2]) || (call && !isCom(argv[4]))) {
        std::fputs("usage: kestrelix-screenshot FOLDER COM signal-meter|com-tip|after-job\n"
                   "       kestrelix-screenshot FOLDER COM after-call DEVICE-COM\n",
                   stderr);
        return 2;
    }
    const std::wstring folder = argv[1];
    const int com = _wtoi(argv[2]);
    InitCommonControls();
    RegistryStore settings;
    settings.SetRoot(CompanyName);

    RunEnds ends;
    std::atomic<DWORD> windowThread{0};
    std::thread window([&] {
        ModemSetupDlg dialog(settings);
        // A full plot in seconds rather than minutes.
        dialog.SignalIntervalMs = 20;
        dialog.OnRunEnded = [&ends](const RunOutcome& outcome) {
            ends.Last = outcome.Result;
            ++ends.Count;
        };
        windowThread = GetCurrentThreadId();
        dialog.DoModal();
    });
    HWND main = nullptr;
    if (!WaitFor([&] { return windowThread != 0 && (main = FindThreadWindow(windowThread, ProductName)) != nullptr; })) {
        // Whatever the thread is doing, the process ends with it.
        window.detach();
        return Fail("the main window did not open");
    }
    SendDlgItemMessageW(main, ControlId::ComSelector, CB_SETCURSEL, static_cast<WPARAM>(com - 1), 0);
    const int status = picture == L"signal-meter" ? SignalMeterPicture(main, windowThread, folder)
                       : picture == L"com-tip"    ? ComTipPicture(main, windowThread, com, folder)
                       : picture == L"after-job"  ? AfterJobPicture(main, ends, folder)
                                                  : AfterCallPicture(main, windowThread, ends, com, _wtoi(argv[4]), folder);
    // Like the close box: the window waits for the meter's job to end.
    PostMessageW(main, WM_CLOSE, 0, 0);
    window.join();
    return status;
}
