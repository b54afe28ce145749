#pragma once
// The signal meter of the native window: a small window of its own class, owned by the
// main dialog and drawn with GDI, that shows the signal job's readings as they come: a
// bar coloured by level, the dBm figure and the words, a plot of the last readings with
// the good and weak bands shaded, the registration state and a Stop button. Closing it,
// like the button, stops the job; it is hidden, to be shown again for the next job.

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>

#include "toolkit/SignalReading.h"

class SignalMeter {
public:
    // How many readings the plot keeps.
    // Its controls, read by tests as the operator reads them.
    static constexpr int FigureId = 201;
    static constexpr int WordsId = 202;
    static constexpr int RegistrationId = 203;
    static constexpr int SummaryId = 204;
    static constexpr int StopId = 205;

    // stop: what the Stop button and closing the window do while the job runs.
    SignalMeter(HWND owner, std::function<void()> stop);
    ~SignalMeter();
    SignalMeter(const SignalMeter&) = delete;
    SignalMeter& operator=(const SignalMeter&) = delete;

    // A new job starts: the plot starts empty and the window shows.
    void Restart();
    // The next reading, or with Ended the job's end: the last reading stays on show.
    void Show(const SignalReading& reading);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc) const;
    void SetText(int id, const std::string& text) const;
    // Pixels at 96 DPI at the window's DPI.
    int Scaled(int pixels) const;
    RECT Scaled(const RECT& pixels) const;

    std::function<void()> Stop;
    const UINT Dpi;
    HWND Window = nullptr;
    HFONT TextFont = nullptr;
    HFONT FigureFont = nullptr;
    bool Running = false;
    std::optional<SignalReading> Last;
    std::deque<std::optional<int>> Levels;
};
