// The main window at the display's DPI. The driver runs this program once per DPI it
// sets in the prefix (LogPixels) and tells it in KX_EXPECT_DPI; alone it expects 96.
// What an operator would see as clipping is checked on the real controls: each stays
// inside the window, overlaps no other, and has room for its whole text.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gui-win32/ModemSetupDlg.h"
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

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, ApplicationKey().c_str());
        Store.SetRoot(CompanyName);
    }
    RegistryStore Store;
};

TEST_F(LayoutTest, EveryControlFitsAtTheDisplaysDpi) {
    RunningDialog w(Store);
    const UINT dpi = GetDpiForWindow(w.Dialog);
    ASSERT_EQ(dpi, ExpectedDpi()) << "the window does not take the display's DPI";
    // Rows enough to bring the log's scroll bar: a row must not then need a sideways one.
    if (const char* com = std::getenv("KX_MODEM_COM")) {
        w.Select(ControlId::ComSelector, std::atoi(com) - 1);
        ASSERT_TRUE(w.CheckAnswered());
        ASSERT_TRUE(w.CheckAnswered());
    }

    RECT inside{};
    GetClientRect(w.Dialog, &inside);
    const std::vector<HWND> controls = Controls(w.Dialog);
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
        RECT client{};
        GetClientRect(c, &client);
        if (type == L"Static" || type == L"Button") {
            const SIZE text = TextSize(c, WideText(c));
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
    HWND log = w.Control(ControlId::LogView);
    RECT logClient{};
    GetClientRect(log, &logClient);
    EXPECT_LE(ListView_GetColumnWidth(log, 0), logClient.right) << "the log's rows need a sideways scroll bar";
}

}  // namespace
