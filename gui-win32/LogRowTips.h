#pragma once
// The log's rows shown whole: a tip under a row that the column cuts off, with the row's
// whole text, while the pointer rests on the row. It is placed by hand and follows the pointer
// from row to row, as the COM list's tip does; a row that fits shows none.

#include <windows.h>

#include <string>

class LogRowTips {
public:
    explicit LogRowTips(HWND log);
    ~LogRowTips();
    LogRowTips(const LogRowTips&) = delete;
    LogRowTips& operator=(const LogRowTips&) = delete;

private:
    static LRESULT CALLBACK LogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self);
    void OnPointer(LPARAM clientPoint);
    // The row's text when the column cuts it, else empty.
    std::wstring CutText(int row) const;
    void Show(int row, const std::wstring& text);
    void Hide();

    const HWND Log;
    HWND Tip = nullptr;
    // The tip control keeps only a pointer to its text.
    std::wstring Shown;
    int Hovered = -1;
};
