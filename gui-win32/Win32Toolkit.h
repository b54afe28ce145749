#pragma once
// The native window's side of the Toolkit boundary. The controls belong to the thread
// that created this object (the window thread), which carries out the requests of other
// threads by the rules of toolkit/WindowRequests.h: they are announced to the dialog by
// RequestMessage, which the dialog procedure answers with RunRequest.

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/Toolkit.h"
#include "toolkit/WindowRequests.h"

class Win32Toolkit : public Toolkit {
public:
    static constexpr UINT RequestMessage = WM_APP + 1;

    Win32Toolkit();

    // The dialog that holds the controls and owns the message boxes.
    void Attach(HWND dialog);
    // Window thread: carries out the request that a RequestMessage announced.
    void RunRequest();

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void ComboClear(int id) override;
    void ComboAppend(int id, const std::string& text) override;
    void ComboSelect(int id, int index) override;
    int ComboSelected(int id) override;
    std::string ComboText(int id) override;
    void SetControlText(int id, const std::string& text) override;
    int LogRowCount(int id) override;
    void LogInsertRow(int id, int position, const std::string& text) override;
    void LogScrollTo(int id, int row) override;
    void LogDeleteAll(int id) override;
    std::string LogRowText(int id, int row) override;
    // Where the signal job's readings go on the window thread; none drops them.
    void SetSignalView(std::function<void(const SignalReading&)> show);
    void ShowSignal(const SignalReading& reading) override;
    void CancelRequests() override;

private:
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    const DWORD WindowThread;
    HWND Dialog = nullptr;
    std::function<void(const SignalReading&)> SignalView;

    WindowRequests Requests;
};
