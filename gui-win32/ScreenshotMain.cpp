// kestrelix-screenshot.exe FOLDER COM PICTURE: a picture of the native window for the
// README, saved into FOLDER as a BMP file:
//   signal-meter  the signal meter after a run of readings from the virtual modem on COM
//                 (signal-meter-win32.bmp);
//   com-tip       the open COM list with the tip of COM's entry, a USB modem's port as
//                 Device Manager would list it (com-tip-win32-DPI.bmp, at the display's DPI);
//   after-job     the main window after a job against the virtual modem on COM
//                 (window-win32-after-job.bmp).
// The caller provides the display, the prefix and the modem. The main window runs on its
// own thread, as start-up runs it, and this thread works it with window messages.

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/Messages.h"
#include "frontend/AboutText.h"
#include "frontend/WindowChoices.h"
#include "gui-win32/ModemSetupDlg.h"
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
    else if (!SaveBitmap(PlaceOf(meter), folder + L"\\signal-meter-win32.bmp"))
        status = Fail("cannot save the picture of the signal meter");
    PostMessageW(meter, WM_CLOSE, 0, 0);
    return status;
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
    const bool shown = PointAt(Centre(info.hwndList, entry)) && WaitFor([&] {
        tip = FindThreadWindow(thread, [](HWND window) {
            wchar_t type[64] = {};
            GetClassNameW(window, type, 64);
            return std::wstring(type) == TOOLTIPS_CLASSW && IsWindowVisible(window) && GetWindowTextLengthW(window) > 0;
        });
        return tip != nullptr;
    });
    if (!shown) return Fail("the COM entry's tip did not show");
    // The tip has drawn itself once it is there.
    Sleep(300);
    RECT all = PlaceOf(main);
    for (HWND part : {info.hwndList, tip}) {
        const RECT r = PlaceOf(part);
        UnionRect(&all, &all, &r);
    }
    const std::wstring file = folder + L"\\com-tip-win32-" + std::to_wstring(GetDpiForWindow(main)) + L".bmp";
    const int status = SaveBitmap(all, file, {info.hwndList, tip}) ? 0 : Fail("cannot save the picture of the COM list");
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    return status;
}

int AfterJobPicture(HWND main, const std::wstring& folder) {
    SendDlgItemMessageW(main, ControlId::StartStop, BM_CLICK, 0, 0);
    const HWND status = GetDlgItem(main, ControlId::StatusLine);
    const HWND button = GetDlgItem(main, ControlId::StartStop);
    // The status line tells the end before the button's caption and the final row come back.
    const bool ended = WaitFor([&] { return Text(status) == Msg::Succeeded && Text(button) == "Старт!"; });
    if (!ended) return Fail("the job did not succeed");
    // The window has drawn itself once it is there.
    Sleep(300);
    return SaveBitmap(PlaceOf(main), folder + L"\\window-win32-after-job.bmp")
               ? 0
               : Fail("cannot save the picture of the window");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring picture = argc == 4 ? argv[3] : L"";
    if ((picture != L"signal-meter" && picture != L"com-tip" && picture != L"after-job") || _wtoi(argv[2]) < 1 ||
        _wtoi(argv[2]) > ComPortCount) {
        std::fputs("usage: kestrelix-screenshot FOLDER COM signal-meter|com-tip|after-job\n", stderr);
        return 2;
    }
    const std::wstring folder = argv[1];
    const int com = _wtoi(argv[2]);
    InitCommonControls();
    RegistryStore settings;
    settings.SetRoot(CompanyName);

    std::atomic<DWORD> windowThread{0};
    std::thread window([&] {
        ModemSetupDlg dialog(settings);
        // A full plot in seconds rather than minutes.
        dialog.SignalIntervalMs = 20;
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
                                                  : AfterJobPicture(main, folder);
    // Like the close box: the window waits for the meter's job to end.
    PostMessageW(main, WM_CLOSE, 0, 0);
    window.join();
    return status;
}
