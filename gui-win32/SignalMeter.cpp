#include "gui-win32/SignalMeter.h"

#include <utility>

#include "engine/SignalValue.h"
#include "frontend/SignalMeterLook.h"
#include "os/Utf16_win32.h"

namespace {

constexpr const wchar_t* ClassName = L"KestrelixSignalMeter";
// The client area's parts, in pixels.
constexpr int Width = 360;
constexpr int Height = 330;
constexpr RECT BarArea{10, 10, 350, 46};
constexpr RECT PlotArea{44, 94, 350, 244};

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

COLORREF ToColour(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// A band's light shade: its colour a quarter strong over white.
COLORREF Shade(uint32_t rgb) {
    auto mix = [](uint32_t part) { return static_cast<BYTE>(255 - (255 - part) / 4); };
    return RGB(mix((rgb >> 16) & 0xFF), mix((rgb >> 8) & 0xFF), mix(rgb & 0xFF));
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

int PlotY(double dbm) {
    return PlotArea.bottom - static_cast<int>((dbm - LowestDbm) * (PlotArea.bottom - PlotArea.top) / (HighestDbm - LowestDbm));
}

int PlotX(size_t index) {
    return PlotArea.left + static_cast<int>(index * (PlotArea.right - PlotArea.left) / (SignalPlotLength - 1));
}

}  // namespace

SignalMeter::SignalMeter(HWND owner, std::function<void()> stop) : Stop(std::move(stop)) {
    static const bool registered = [] {
        WNDCLASSW type{};
        type.lpfnWndProc = WindowProc;
        type.hInstance = Instance();
        type.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        type.lpszClassName = ClassName;
        return RegisterClassW(&type) != 0;
    }();
    if (!registered) return;

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    TextFont = CreateFontIndirectW(&metrics.lfMessageFont);
    LOGFONTW big = metrics.lfMessageFont;
    big.lfHeight = big.lfHeight * 2 - 4;
    big.lfWeight = FW_BOLD;
    FigureFont = CreateFontIndirectW(&big);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, Width, Height};
    AdjustWindowRect(&frame, style, FALSE);
    const std::wstring title = gToUtf16(gSignalMeterTitle());
    Window = CreateWindowExW(0, ClassName, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                             frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, Instance(), this);
    if (!Window) return;

    struct Control {
        int Id;
        const wchar_t* Type;
        DWORD Style;
        RECT Place;
        HFONT Font;
    };
    const Control controls[] = {
        {FigureId, L"STATIC", SS_LEFT | SS_NOPREFIX, {10, 52, 170, 86}, FigureFont},
        {WordsId, L"STATIC", SS_LEFT | SS_NOPREFIX, {186, 62, 350, 84}, TextFont},
        {RegistrationId, L"STATIC", SS_LEFT | SS_NOPREFIX, {10, 258, 260, 278}, TextFont},
        {StopId, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, {270, 252, 350, 278}, TextFont},
        {SummaryId, L"STATIC", SS_LEFT | SS_NOPREFIX, {10, 286, 350, 322}, TextFont},
    };
    for (const Control& c : controls) {
        HWND control = CreateWindowExW(0, c.Type, c.Id == StopId ? gToUtf16(SignalStopText).c_str() : L"", WS_CHILD | WS_VISIBLE | c.Style,
                                       c.Place.left, c.Place.top, c.Place.right - c.Place.left,
                                       c.Place.bottom - c.Place.top, Window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.Id)), Instance(), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(c.Font), FALSE);
    }
}

SignalMeter::~SignalMeter() {
    if (Window) DestroyWindow(Window);
    if (TextFont) DeleteObject(TextFont);
    if (FigureFont) DeleteObject(FigureFont);
}

void SignalMeter::SetText(int id, const std::string& text) const {
    SetDlgItemTextW(Window, id, gToUtf16(text).c_str());
}

void SignalMeter::Restart() {
    if (!Window) return;
    Running = true;
    Last.reset();
    Levels.clear();
    for (int id : {FigureId, WordsId, RegistrationId, SummaryId}) SetText(id, {});
    EnableWindow(GetDlgItem(Window, StopId), TRUE);
    InvalidateRect(Window, nullptr, TRUE);
    ShowWindow(Window, SW_SHOWNORMAL);
    SetForegroundWindow(Window);
}

void SignalMeter::Show(const SignalReading& reading) {
    if (!Window) return;
    if (reading.Ended) {
        Running = false;
        EnableWindow(GetDlgItem(Window, StopId), FALSE);
        SetText(SummaryId, reading.Summary);
        return;
    }
    Last = reading;
    Levels.push_back(reading.Dbm);
    while (Levels.size() > SignalPlotLength) Levels.pop_front();
    SetText(FigureId, gSignalFigureText(reading));
    SetText(WordsId, gSignalWordsText(reading));
    SetText(RegistrationId, gSignalRegistrationText(reading));
    InvalidateRect(Window, nullptr, TRUE);
}

LRESULT CALLBACK SignalMeter::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<SignalMeter*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->Window = window;
    }
    auto* self = reinterpret_cast<SignalMeter*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->OnMessage(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SignalMeter::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == StopId && HIWORD(wParam) == BN_CLICKED && Running) Stop();
        return 0;
    case WM_CLOSE:
        if (Running) Stop();
        ShowWindow(Window, SW_HIDE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Window, &paint);
        Paint(dc);
        EndPaint(Window, &paint);
        return 0;
    }
    case WM_NCDESTROY: {
        // The owner's end takes this window with it.
        HWND window = Window;
        Window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        return DefWindowProcW(Window, message, wParam, lParam);
    }
}

void SignalMeter::Paint(HDC dc) const {
    const COLORREF frameColour = GetSysColor(COLOR_BTNSHADOW);
    HPEN framePen = CreatePen(PS_SOLID, 1, frameColour);
    HGDIOBJ oldPen = SelectObject(dc, framePen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldFont = SelectObject(dc, TextFont);
    SetBkMode(dc, TRANSPARENT);

    // The bar, its length from none to the best level a modem reports.
    Fill(dc, BarArea, RGB(255, 255, 255));
    if (Last) {
        RECT level = BarArea;
        level.right = BarArea.left + gSignalBarLength(*Last, BarArea.right - BarArea.left);
        Fill(dc, level, ToColour(gSignalColour(*Last)));
    }
    Rectangle(dc, BarArea.left, BarArea.top, BarArea.right, BarArea.bottom);

    // The plot: the bands, the scale, then the readings with the newest at the right edge.
    Fill(dc, PlotArea, RGB(255, 255, 255));
    for (const auto& [word, colour] : SignalBandShades) {
        const DbmSpan span = gSignalBand(word);
        RECT band{PlotArea.left, PlotY(span.High), PlotArea.right, PlotY(span.Low)};
        Fill(dc, band, Shade(colour));
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        RECT label = band;
        label.right -= 4;
        std::wstring text = gToUtf16(word);
        DrawTextW(dc, text.c_str(), -1, &label, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    Rectangle(dc, PlotArea.left, PlotArea.top, PlotArea.right, PlotArea.bottom);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (int dbm : SignalScaleMarks) {
        RECT label{0, PlotY(dbm) - 8, PlotArea.left - 4, PlotY(dbm) + 8};
        const std::wstring text = std::to_wstring(dbm);
        DrawTextW(dc, text.c_str(), -1, &label, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    HPEN linePen = CreatePen(PS_SOLID, 2, RGB(0x30, 0x8c, 0xc6));
    SelectObject(dc, linePen);
    const size_t offset = SignalPlotLength - Levels.size();
    for (size_t i = 1; i < Levels.size(); ++i) {
        if (!Levels[i - 1] || !Levels[i]) continue;
        MoveToEx(dc, PlotX(offset + i - 1), PlotY(*Levels[i - 1]), nullptr);
        LineTo(dc, PlotX(offset + i), PlotY(*Levels[i]));
    }

    SelectObject(dc, oldFont);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(linePen);
    DeleteObject(framePen);
}
