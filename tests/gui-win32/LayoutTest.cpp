// The windows at the display's DPI. The driver runs this program once per DPI it sets in
// the prefix (LogPixels) and tells it in KX_EXPECT_DPI; alone it expects 96. What an
// operator would see as clipping is checked on the real controls, each window in the
// state that gives it its longest texts: each control stays inside its window, overlaps
// no other, and has room for its whole text; the log needs no sideways scroll bar, and a
// row the column cuts shows whole in its tip.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/CallMessages.h"
#include "engine/CheckRows.h"
#include "engine/RegistrationAnswer.h"
#include "engine/SignalValue.h"
#include "frontend/SignalMeterLook.h"
#include "frontend/WindowChoices.h"
#include "gui-win32/ModemSetupDlg.h"
#include "gui-win32/SignalMeter.h"
#include "os/Utf16_win32.h"
#include "serial/ComNames.h"
#include "settings/RegistryStore.h"
#include "tests/gui-win32/RunningDialog.h"
#include "toolkit/ControlIds.h"

namespace {

UINT ExpectedDpi() {
    const char* dpi = std::getenv("KX_EXPECT_DPI");
    return dpi ? static_cast<UINT>(std::atoi(dpi)) : 96;
}

std::wstring ClassOf(HWND control) {
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    return name;
}

// Where control lies in its parent's client area.
RECT PlaceOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The size text takes in control's own font.
SIZE TextSize(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

std::wstring WideText(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<HWND> Controls(HWND dialog) {
    std::vector<HWND> controls;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) controls.push_back(c);
    return controls;
}

std::string Name(HWND control) {
    return gFromUtf16(ClassOf(control).c_str(), ClassOf(control).size()) + " " + std::to_string(GetDlgCtrlID(control)) +
           " \"" + Text(control) + "\"";
}

// The room a control leaves for its text: a button's frame, a drop-down's arrow.
int TextRoom(HWND control, UINT dpi) {
    RECT client{};
    GetClientRect(control, &client);
    const std::wstring type = ClassOf(control);
    if (type == L"Button") return client.right - 2 * GetSystemMetricsForDpi(SM_CXEDGE, dpi) - 2;
    if (type == L"ComboBox") return client.right - GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) - 4;
    return client.right;
}

// The height of text wrapped at width in control's own font.
int WrappedHeight(HWND control, const std::wstring& text, int width) {
    HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT room{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), -1, &room, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return room.bottom;
}

// Every control of window inside it, apart from the others, with room for its whole text:
// a one-line label on its line, a taller one wrapped within it. A status line that marks
// a cut with an ellipsis drops nothing silently; the log tells its text whole.
void ExpectEveryTextWhole(HWND window, UINT dpi) {
    RECT inside{};
    GetClientRect(window, &inside);
    const std::vector<HWND> controls = Controls(window);
    for (HWND c : controls) {
        if (!IsWindowVisible(c)) continue;
        const RECT at = PlaceOf(c);
        EXPECT_TRUE(at.left >= 0 && at.top >= 0 && at.right <= inside.right && at.bottom <= inside.bottom)
            << Name(c) << " leaves the window";
        for (HWND other : controls) {
            RECT both{};
            const RECT there = PlaceOf(other);
            const bool overlaps = other != c && IsWindowVisible(other) && IntersectRect(&both, &at, &there);
            EXPECT_FALSE(overlaps) << Name(c) << " overlaps " << Name(other);
        }
        const std::wstring type = ClassOf(c);
        const auto style = static_cast<DWORD>(GetWindowLongW(c, GWL_STYLE));
        RECT client{};
        GetClientRect(c, &client);
        const SIZE text = TextSize(c, WideText(c));
        if (type == L"Static" && (style & SS_ELLIPSISMASK) != 0) continue;
        if (type == L"Static" && client.bottom >= 2 * TextSize(c, L"Ag").cy) {
            if (!WideText(c).empty()) {
                EXPECT_LE(WrappedHeight(c, WideText(c), client.right), client.bottom) << Name(c) << " cuts its lines";
            }
        } else if (type == L"Static" || type == L"Button") {
            EXPECT_LE(text.cx, TextRoom(c, dpi)) << Name(c) << " cuts its text";
            EXPECT_LE(text.cy, client.bottom) << Name(c) << " is lower than its text";
        }
        if (type == L"ComboBox") {
            for (int i = 0; i < static_cast<int>(SendMessageW(c, CB_GETCOUNT, 0, 0)); ++i) {
                std::wstring entry(static_cast<size_t>(SendMessageW(c, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
                entry.resize(static_cast<size_t>(SendMessageW(c, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()))));
                EXPECT_LE(TextSize(c, entry).cx, TextRoom(c, dpi))
                    << Name(c) << " cuts its entry " << gFromUtf16(entry.c_str(), entry.size());
            }
        }
    }
}

// The room a tip leaves on each side of its text, within its margins.
constexpr int TipTextMargin = 2;

// The tip of thread's that is showing, or none.
HWND ShownTip(DWORD thread) {
    return FindThreadWindow(thread, [](HWND window) {
        return ClassOf(window) == TOOLTIPS_CLASSW && IsWindowVisible(window) && GetWindowTextLengthW(window) > 0;
    });
}

// The log after a passed call: no sideways scroll bar, and its longest row shows whole,
// in the column or in the tip under the pointer.
void ExpectTheLogWhole(const RunningDialog& w) {
    HWND log = w.Control(ControlId::LogView);
    RECT logClient{};
    GetClientRect(log, &logClient);
    EXPECT_LE(ListView_GetColumnWidth(log, 0), logClient.right) << "the log's rows need a sideways scroll bar";
    EXPECT_EQ(GetWindowLongW(log, GWL_STYLE) & WS_HSCROLL, 0) << "the log shows a sideways scroll bar";
    const Rows rows = w.LogRows();
    int longest = -1, widest = 0;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const int width = TextSize(log, gToUtf16(rows[static_cast<size_t>(row)])).cx;
        if (width <= widest) continue;
        longest = row;
        widest = width;
    }
    ASSERT_GE(longest, 0);
    const std::string row = rows[static_cast<size_t>(longest)];
    if (widest < ListView_GetColumnWidth(log, 0) - 12) return;
    ListView_EnsureVisible(log, longest, FALSE);
    RECT label{};
    ListView_GetItemRect(log, longest, &label, LVIR_LABEL);
    HWND tip = nullptr;
    const DWORD thread = GetWindowThreadProcessId(w.Dialog, nullptr);
    ASSERT_TRUE(WaitPointingAt(Centre(log, label), [&] { return (tip = ShownTip(thread)) != nullptr && Text(tip) == row; }))
        << "no tip shows the cut row " << row;
    // A row wider than the tip may be wraps within it, inside the tip's margins.
    RECT tipClient{};
    GetClientRect(tip, &tipClient);
    RECT margin{};
    SendMessageW(tip, TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    const int textWidth = tipClient.right - margin.left - margin.right - 2 * TipTextMargin;
    EXPECT_LE(WrappedHeight(tip, gToUtf16(row), textWidth), tipClient.bottom) << "the tip cuts " << row;
    RECT onScreen{};
    GetWindowRect(tip, &onScreen);
    EXPECT_TRUE(onScreen.left >= 0 && onScreen.right <= GetSystemMetrics(SM_CXSCREEN)) << "the tip leaves the screen";
    PointAt(Centre(w.Control(ControlId::SaveLog)));
}

// The widest of texts in control's font.
std::string Widest(HWND control, const std::vector<std::string>& texts) {
    std::string widest;
    for (const std::string& t : texts)
        if (TextSize(control, gToUtf16(t)).cx > TextSize(control, gToUtf16(widest)).cx) widest = t;
    return widest;
}

// The meter showing its longest texts: the lowest level, the widest words, the widest
// registration and a summary of extreme levels.
void ShowLongestReading(HWND meter, SignalMeter& view) {
    std::vector<std::string> registrations, words;
    for (int stat = 0; stat <= LastRegistrationState; ++stat)
        registrations.push_back("Регистрация: " + std::string(gRegistrationWords(stat)));
    for (int csq = 0; csq <= 31; ++csq) words.push_back(gSignalWord(csq));
    SignalReading reading;
    reading.Csq = 0;
    reading.Dbm = -113;
    reading.Words = Widest(GetDlgItem(meter, SignalMeter::WordsId), words);
    reading.Registration = Widest(GetDlgItem(meter, SignalMeter::RegistrationId), registrations).substr(
        std::string("Регистрация: ").size());
    view.Show(reading);
    reading.Ended = true;
    reading.Summary = gSignalSummary(99999, {-113, -113, -111, -51});
    view.Show(reading);
}

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationKey().c_str());
        Store.SetRoot(CompanyName);
    }
    RegistryStore Store;
};

TEST_F(LayoutTest, EveryTextIsWholeAtTheDisplaysDpi) {
    RunningDialog w(Store);
    const UINT dpi = GetDpiForWindow(w.Dialog);
    ASSERT_EQ(dpi, ExpectedDpi()) << "the window does not take the display's DPI";
    const DWORD thread = GetWindowThreadProcessId(w.Dialog, nullptr);
    // A passed call leaves the longest rows and brings the log's scroll bar.
    const CallModems calls = CallModems::FromEnvironment();
    if (calls.Present()) {
        ASSERT_TRUE(w.Configured(calls.Device, 0));
        ASSERT_TRUE(w.Configured(calls.Computer, 1));
        ASSERT_TRUE(w.CallAsked(calls.Computer, calls.Number, calls.Device, false));
        ASSERT_TRUE(WaitFor([&] { return w.CallEnded(); }));
        ASSERT_EQ(w.LogRows().back(), CallMsg::Passed);
    }

    const struct {
        const char* Name;
        std::function<HWND()> Open;    // the window in the state to check
        std::function<void(HWND)> Close;
    } windows[] = {
        {"the main window", [&] { return w.Dialog; }, [](HWND) {}},
        {"the test call dialog",
         [&] {
             PostMessageW(w.Dialog, WM_SYSCOMMAND, ModemSetupDlg::TestCallCommand, 0);
             HWND ask = nullptr;
             WaitFor([&] { return (ask = FindThreadWindow(thread, TestCallCaption)) != nullptr; });
             return ask;
         },
         [](HWND ask) { PostMessageW(ask, WM_COMMAND, IDCANCEL, 0); WaitFor([&] { return !IsWindow(ask); }); }},
        {"the PIN dialog",
         [&] {
             PostMessageW(w.Dialog, WM_SYSCOMMAND, ModemSetupDlg::SimPinCommand, 0);
             HWND ask = nullptr;
             WaitFor([&] { return (ask = FindThreadWindow(thread, SimPinCaption)) != nullptr; });
             return ask;
         },
         [](HWND ask) { PostMessageW(ask, WM_COMMAND, IDCANCEL, 0); WaitFor([&] { return !IsWindow(ask); }); }},
    };
    for (const auto& shown : windows) {
        SCOPED_TRACE(shown.Name);
        const HWND window = shown.Open();
        ASSERT_NE(window, nullptr);
        ExpectEveryTextWhole(window, dpi);
        shown.Close(window);
    }
    if (calls.Present()) ExpectTheLogWhole(w);

    // The meter, made here as the window makes it, at the window's DPI.
    SCOPED_TRACE("the signal meter");
    SignalMeter view(w.Dialog, [] {});
    view.Restart();
    const HWND meter = FindThreadWindow(GetCurrentThreadId(), gSignalMeterTitle());
    ASSERT_NE(meter, nullptr);
    ShowLongestReading(meter, view);
    ExpectEveryTextWhole(meter, dpi);
}

}  // namespace
