// The native window's COM selector tells what stands behind each number, as the operator
// sees it: in the open list an entry with a device is drawn bold, a tip beside the entry
// under the pointer names the device, and a tip over the closed selector tells of the
// chosen entry. Under Wine the Ports class is empty, so the test registers a device of its
// own in the prefix, and removes it again.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/gui-win32/RegisteredPort.h"
#include "tests/gui-win32/RunningDialog.h"
#include "toolkit/ControlIds.h"

namespace {

using ComPortListTest = FirstStartTest;

const std::string Modem = "COM5: Halvstad GSM-модем USB (COM5), драйвер usbser";

HWND OpenList(const RunningDialog& w) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(w.Control(ControlId::ComSelector), &info);
    return info.hwndList;
}

// The window's tip that is showing, or none.
HWND ShownTipWindow(const RunningDialog& w) {
    return FindThreadWindow(GetWindowThreadProcessId(w.Dialog, nullptr), [](HWND window) {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        return std::wstring(name) == TOOLTIPS_CLASSW && IsWindowVisible(window);
    });
}

// Its text, or empty.
std::string ShownTip(const RunningDialog& w) {
    const HWND tip = ShownTipWindow(w);
    return tip ? Text(tip) : std::string();
}

// How many pixels of a picture differ from its background, that is, how much ink it has.
class Picture {
public:
    Picture(int width, int height) : Dc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        Bitmap = CreateDIBSection(Dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0);
        Old = SelectObject(Dc, Bitmap);
        Size = static_cast<size_t>(width) * height;
    }
    ~Picture() {
        SelectObject(Dc, Old);
        DeleteObject(Bitmap);
        DeleteDC(Dc);
    }
    int Ink() const {
        GdiFlush();
        int ink = 0;
        for (size_t i = 0; i < Size; ++i) ink += Bits[i] != Bits[0];
        return ink;
    }

    HDC Dc;

private:
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    uint32_t* Bits = nullptr;
    size_t Size = 0;
};

// The ink of the open list's entry as it is on the screen.
int EntryInk(HWND list, int index) {
    RECT entry{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&entry));
    Picture copy(entry.right - entry.left, entry.bottom - entry.top);
    const HDC screen = GetDC(list);
    BitBlt(copy.Dc, 0, 0, entry.right - entry.left, entry.bottom - entry.top, screen, entry.left, entry.top, SRCCOPY);
    ReleaseDC(list, screen);
    return copy.Ink();
}

// The ink of text written in the list's colours, in the font given.
int TextInk(const std::wstring& text, HFONT font) {
    Picture picture(200, 40);
    RECT all{0, 0, 200, 40};
    FillRect(picture.Dc, &all, GetSysColorBrush(COLOR_WINDOW));
    SelectObject(picture.Dc, font);
    SetBkMode(picture.Dc, TRANSPARENT);
    SetTextColor(picture.Dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(picture.Dc, text.c_str(), -1, &all, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    return picture.Ink();
}

struct Entry {
    int Com;
    bool Bold;
    std::string Tip;
};

struct Stage {
    const char* Name;
    bool Device;
    // The closed selector's tip with COM5 chosen.
    std::string Chosen;
    std::vector<Entry> Entries;
};

TEST_F(ComPortListTest, TheListTellsWhichPortsHaveADeviceAndWhatItIs) {
    RunningDialog w(Store);
    const HWND combo = w.Control(ControlId::ComSelector);
    const HWND list = OpenList(w);
    ASSERT_NE(list, nullptr);
    // Where the pointer rests between looks: on the window, away from the selector and its list.
    const POINT aside = Centre(w.Control(ControlId::StatusLine));

    LOGFONTW face{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)), sizeof face, &face);
    const HFONT normal = CreateFontIndirectW(&face);
    face.lfWeight = FW_BOLD;
    const HFONT bold = CreateFontIndirectW(&face);

    std::optional<RegisteredPort> port;
    const Stage stages[] = {
        {"before the device comes", false, "COM5: нет устройства",
         {{5, false, "COM5: нет устройства"}, {1, false, "COM1: нет устройства"}}},
        {"with a device on COM5", true, Modem,
         {{4, false, "COM4: нет устройства"}, {5, true, Modem},
          {6, false, "COM6: нет устройства"}}},
        {"after the device is removed", false, "COM5: нет устройства",
         {{5, false, "COM5: нет устройства"}, {4, false, "COM4: нет устройства"}}},
    };
    for (const Stage& stage : stages) {
        SCOPED_TRACE(stage.Name);
        if (stage.Device) {
            port.emplace(L"COM5", L"GSM-модем USB (COM5)", L"Halvstad", L"usbser");
            ASSERT_EQ(port->Failure, "");
        } else {
            port.reset();
        }

        // Closed: the tip over the selector is looked up as it shows.
        w.Select(ControlId::ComSelector, 4);
        EXPECT_TRUE(WaitPointingAt(Centre(combo), [&] { return ShownTip(w) == stage.Chosen; })) << ShownTip(w);
        EXPECT_TRUE(WaitPointingAt(aside, [&] { return ShownTip(w).empty(); })) << ShownTip(w);

        // Open, with COM1 chosen so that the entries looked at are not highlighted.
        w.Select(ControlId::ComSelector, 0);
        w.Send(ControlId::ComSelector, CB_SHOWDROPDOWN, TRUE);
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(list) != FALSE; }));
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        for (const Entry& entry : stage.Entries) {
            const std::wstring text = L"COM" + std::to_wstring(entry.Com);
            const int plainInk = TextInk(text, normal);
            const int boldInk = TextInk(text, bold);
            ASSERT_NE(plainInk, boldInk);
            int ink = 0;
            EXPECT_TRUE(WaitFor([&] { return (ink = EntryInk(list, entry.Com - 1)) > 0; }));
            EXPECT_EQ(std::abs(ink - boldInk) < std::abs(ink - plainInk), entry.Bold)
                << "COM" << entry.Com << ": " << ink << " pixels of ink; plain " << plainInk << ", bold " << boldInk;
        }
        // The tip follows the pointer from entry to entry, level with the entry.
        for (const Entry& entry : stage.Entries) {
            RECT row{};
            SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(entry.Com - 1), reinterpret_cast<LPARAM>(&row));
            EXPECT_TRUE(WaitPointingAt(Centre(list, row), [&] { return ShownTip(w) == entry.Tip; }))
                << "COM" << entry.Com << ": " << ShownTip(w);
            RECT tip{};
            GetWindowRect(ShownTipWindow(w), &tip);
            RECT beside{};
            GetWindowRect(list, &beside);
            POINT top{0, row.top};
            ClientToScreen(list, &top);
            // Within the tip's own frame of the point it is given.
            EXPECT_LE(std::abs(tip.top - top.y), 2) << "COM" << entry.Com;
            EXPECT_GE(tip.left, beside.right - 2) << "COM" << entry.Com;
        }
        w.Send(ControlId::ComSelector, CB_SHOWDROPDOWN, FALSE);
        EXPECT_TRUE(WaitFor([&] { return ShownTip(w).empty(); })) << ShownTip(w);
        ASSERT_TRUE(PointAt(aside));
    }
    DeleteObject(bold);
    DeleteObject(normal);
}

// Drawn by the window, the selector keeps the size of the plain selectors beside it.
TEST_F(ComPortListTest, TheSelectorIsAsTallAsThePlainOnes) {
    RunningDialog w(Store);
    const auto height = [&](int id) {
        RECT rect{};
        GetWindowRect(w.Control(id), &rect);
        return rect.bottom - rect.top;
    };
    for (const int plain : {ControlId::SpeedSelector, ControlId::ModelSelector, ControlId::PlaceSelector}) {
        EXPECT_EQ(height(ControlId::ComSelector), height(plain)) << plain;
        EXPECT_EQ(w.Send(ControlId::ComSelector, CB_GETITEMHEIGHT, 0), w.Send(plain, CB_GETITEMHEIGHT, 0)) << plain;
    }
}

}  // namespace
