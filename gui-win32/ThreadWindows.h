#pragma once
// Working a window from outside, as the window tests and the screenshot program do: wait
// for a state, read a window's text, find a thread's top-level window, point at it.

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "os/Utf16_win32.h"

// Polls until done; false after a minute.
inline bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Sleep(10);
    }
    return true;
}

inline std::string Text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return gFromUtf16(text.data(), text.size());
}

// The first top-level window of thread that matches, or none.
inline HWND FindThreadWindow(DWORD thread, const std::function<bool(HWND)>& matches) {
    struct Search {
        const std::function<bool(HWND)>& Matches;
        HWND Found = nullptr;
    } search{matches};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            if (!s->Matches(window)) return TRUE;
            s->Found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The top-level window of thread with that caption, or none.
inline HWND FindThreadWindow(DWORD thread, const std::string& caption) {
    return FindThreadWindow(thread, [&](HWND window) { return Text(window) == caption; });
}

// Moves the pointer as the mouse does, unless it is there already.
inline void HoldPointerAt(POINT to) {
    POINT at{};
    GetCursorPos(&at);
    if (std::abs(at.x - to.x) <= 1 && std::abs(at.y - to.y) <= 1) return;
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(to.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(to.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// Waits until done while the pointer rests at to, as an operator's hand holds it there.
// Under Wine a late motion event of the X display, from an earlier move, can put the
// pointer back where it was after it reached to; it is then moved to to again.
inline bool WaitPointingAt(POINT to, const std::function<bool()>& done) {
    return WaitFor([&] {
        HoldPointerAt(to);
        return done();
    });
}

// Moves the pointer as the mouse does, and waits until it is there.
inline bool PointAt(POINT to) {
    return WaitPointingAt(to, [&] {
        POINT at{};
        GetCursorPos(&at);
        return std::abs(at.x - to.x) <= 1 && std::abs(at.y - to.y) <= 1;
    });
}

// The centre of rect, in window's client coordinates, on the screen.
inline POINT Centre(HWND window, RECT rect) {
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(window, &centre);
    return centre;
}

inline POINT Centre(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return Centre(window, client);
}
