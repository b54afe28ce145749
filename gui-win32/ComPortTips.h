#pragma once
// The COM selector's two tips. Over the closed selector a tip tells of the chosen entry,
// asked for each time it shows; over the open list a tip beside the entry under the pointer
// tells of that entry, and follows the pointer from entry to entry.

#include <windows.h>

#include <functional>
#include <string>

class ComPortTips {
public:
    // Both texts are asked for when a tip is about to show: chosen() for the closed
    // selector, listed(index) for an entry of the open list; empty shows no tip.
    ComPortTips(HWND combo, std::function<std::wstring()> chosen, std::function<std::wstring(int)> listed);
    ~ComPortTips();
    ComPortTips(const ComPortTips&) = delete;
    ComPortTips& operator=(const ComPortTips&) = delete;

    // The list has closed: its tip goes with it.
    void HideListTip();

private:
    static LRESULT CALLBACK ComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self);
    static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self);
    void OnListPointer(LPARAM clientPoint);
    void ShowListTip(int index);

    const HWND Combo;
    const HWND List;
    const std::function<std::wstring()> Chosen;
    const std::function<std::wstring(int)> Listed;
    HWND FieldTip = nullptr;
    HWND ListTip = nullptr;
    // The tip control keeps only a pointer to a callback's text until it asks again.
    std::wstring ChosenText;
    std::wstring ListedText;
    int Hovered = -1;
};
