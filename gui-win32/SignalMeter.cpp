#include "gui-win32/SignalMeter.h"

#include <utility>

#include "engine/SignalValue.h"
#include "frontend/SignalMeterLook.h"
#include "os/Utf16_win32.h"

namespace {

constexpr const wchar_t* ClassName = L"KestrelixSignalMeter";
// The client area's parts, in pixels at 96 DPI, scaled to the window's DPI as the dialogs
// are. The registration has a line of its own across the window: its longest words need it.
constexpr int Width = 360;
constexpr int Height = 340;
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

int PlotY(const RECT& plot, double dbm) {
    return plot.bottom - static_cast<int>((dbm - LowestDbm) * (plot.bottom - plot.top) / (HighestDbm - LowestDbm));
}

int PlotX(const RECT& plot, size_t index) {
    return plot.left + static_cast<int>(index * (plot.right - plot.left) / (SignalPlotLength - 1));
}

}  // namespace

SignalMeter::SignalMeter(HWND owner, std::function<void()> stop)
    : Stop(std::move(stop)), Dpi(GetDpiForWindow(owner)) {
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
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, Dpi);
    TextFont = CreateFontIndirectW(&metrics.lfMessageFont);
    LOGFONTW big = metrics.lfMessageFont;
    big.lfHeight = big.lfHeight * 2 - Scaled(4);
    big.lfWeight = FW_BOLD;
    FigureFont = CreateFontIndirectW(&big);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame = Scaled(RECT{0, 0, Width, Height});
    AdjustWindowRectExForDpi(&frame, style, FALSE, 0, Dpi);
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
        {RegistrationId, L"STATIC", SS_LEFT | SS_NOPREFIX, {10, 252, 350, 272}, TextFont},
        {StopId, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, {270, 280, 350, 306}, TextFont},
        {SummaryId, L"STATIC", SS_LEFT | SS_NOPREFIX, {10, 280, 260, 334}, TextFont},
    };
    for (const Control& c : controls) {
        const RECT at = Scaled(c.Place);
        HWND control = CreateWindowExW(0, c.Type, c.Id == StopId ? gToUtf16(SignalStopText).c_str() : L"", WS_CHILD | WS_VISIBLE | c.Style,
                                       at.left, at.top, at.right - at.left, at.bottom - at.top, Window,
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
    const RECT bar = Scaled(BarArea);
    Fill(dc, bar, RGB(255, 255, 255));
    if (Last) {
        RECT level = bar;
        level.right = bar.left + gSignalBarLength(*Last, bar.right - bar.left);
        Fill(dc, level, ToColour(gSignalColour(*Last)));
    }
    Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
    const RECT plot = Scaled(PlotArea);

    // The plot: the bands, the scale, then the readings with the newest at the right edge.
    Fill(dc, plot, RGB(255, 255, 255));
    for (const auto& [word, colour] : SignalBandShades) {
        const DbmSpan span = gSignalBand(word);
        RECT band{plot.left, PlotY(plot, span.High), plot.right, PlotY(plot, span.Low)};
        Fill(dc, band, Shade(colour));
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        RECT label = band;
        label.right -= Scaled(4);
        std::wstring text = gToUtf16(word);
        DrawTextW(dc, text.c_str(), -1, &label, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    Rectangle(dc, plot.left, plot.top, plot.right, plot.bottom);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (int dbm : SignalScaleMarks) {
        RECT label{0, PlotY(plot, dbm) - Scaled(8), plot.left - Scaled(4), PlotY(plot, dbm) + Scaled(8)};
        const std::wstring text = std::to_wstring(dbm);
        DrawTextW(dc, text.c_str(), -1, &label, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    HPEN linePen = CreatePen(PS_SOLID, Scaled(2), RGB(0x30, 0x8c, 0xc6));
    SelectObject(dc, linePen);
    const size_t offset = SignalPlotLength - Levels.size();
    for (size_t i = 1; i < Levels.size(); ++i) {
        if (!Levels[i - 1] || !Levels[i]) continue;
        MoveToEx(dc, PlotX(plot, offset + i - 1), PlotY(plot, *Levels[i - 1]), nullptr);
        LineTo(dc, PlotX(plot, offset + i), PlotY(plot, *Levels[i]));
    }

    SelectObject(dc, oldFont);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(linePen);
    DeleteObject(framePen);
}

int SignalMeter::Scaled(int pixels) const { return MulDiv(pixels, static_cast<int>(Dpi), 96); }

RECT SignalMeter::Scaled(const RECT& pixels) const {
    return {Scaled(pixels.left), Scaled(pixels.top), Scaled(pixels.right), Scaled(pixels.bottom)};
}
