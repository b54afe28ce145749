#pragma once
// The native window's COM selector told like the Qt one: each time its list opens the
// ports are looked up afresh, an entry with a device is drawn bold, and tips tell what
// stands behind each number (ComPortTips). The selector is owner-drawn (CBS_OWNERDRAWFIXED
// with CBS_HASSTRINGS in the layout), so its dialog hands it WM_DRAWITEM and the
// selector's notifications.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "gui-win32/ComPortTips.h"
#include "serial/PortIdentity.h"

// "COMn: " and what stands behind the number, as a tip shows it.
std::wstring gComPortTip(const PortIdentity& port);

class ComPortList {
public:
    // The selector takes the heights of plain, a selector of the same font beside it, so
    // the owner drawing does not change the layout.
    ComPortList(HWND combo, HWND plain);
    ~ComPortList();
    ComPortList(const ComPortList&) = delete;
    ComPortList& operator=(const ComPortList&) = delete;

    // True when the item was this selector's and is drawn.
    bool Draw(const DRAWITEMSTRUCT& item) const;
    // A notification of the selector (CBN_DROPDOWN, CBN_CLOSEUP, …).
    void OnNotification(WORD code);

private:
    void MatchHeights(HWND plain) const;
    bool HasDevice(int index) const;
    std::wstring EntryText(int index) const;

    const HWND Combo;
    HFONT Bold = nullptr;
    // As looked up when the list last opened, by entry.
    std::vector<PortIdentity> Ports;
    std::unique_ptr<ComPortTips> Tips;
};
