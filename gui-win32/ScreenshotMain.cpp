// kestrelix-screenshot.exe FOLDER COM: a picture of the native signal meter for the
// README, after a run of readings from the virtual modem on COM, saved as
// FOLDER\signal-meter-win32.bmp. The caller provides the display, the prefix and the
// modem. The main window runs on its own thread, as start-up runs it, and this thread
// works it with window messages.

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "gui-win32/ModemSetupDlg.h"
#include "gui-win32/SignalMeter.h"
#include "gui-win32/ThreadWindows.h"
#include "serial/ComNames.h"
#include "toolkit/AboutText.h"
#include "settings/RegistryStore.h"
#include "toolkit/ControlIds.h"
#include "toolkit/WindowChoices.h"

namespace {

// The window as it is on the screen, as a 24-bit bottom-up BMP file.
bool SaveBitmap(HWND window, const std::wstring& path) {
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 || _wtoi(argv[2]) < 1 || _wtoi(argv[2]) > ComPortCount) {
        std::fputs("usage: kestrelix-screenshot FOLDER COM\n", stderr);
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
    HWND meter = nullptr;
    const std::string meterCaption = std::string(ProductName) + ": уровень сигнала";
    if (!WaitFor([&] { return windowThread != 0 && (main = FindThreadWindow(windowThread, ProductName)) != nullptr; })) {
        // Whatever the thread is doing, the process ends with it.
        window.detach();
        return Fail("the main window did not open");
    }
    SendDlgItemMessageW(main, ControlId::ComSelector, CB_SETCURSEL, static_cast<WPARAM>(com - 1), 0);
    PostMessageW(main, WM_SYSCOMMAND, ModemSetupDlg::SignalCommand, 0);
    int status = 0;
    if (!WaitFor([&] { return (meter = FindThreadWindow(windowThread, meterCaption)) != nullptr; })) {
        status = Fail("the signal meter did not open");
    } else {
        // The search, then enough readings to fill the plot.
        Sleep(9000);
        if (GetWindowTextLengthW(GetDlgItem(meter, SignalMeter::FigureId)) == 0)
            status = Fail("the signal meter shows no reading");
        else if (!SaveBitmap(meter, folder + L"\\signal-meter-win32.bmp"))
            status = Fail("cannot save the picture of the signal meter");
        PostMessageW(meter, WM_CLOSE, 0, 0);
    }
    // Like the close box: the window waits for the meter's job to end.
    PostMessageW(main, WM_CLOSE, 0, 0);
    window.join();
    return status;
}
