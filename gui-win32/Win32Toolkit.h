#pragma once
// The Win32 side of the Toolkit boundary. The controls belong to the thread that created
// this object (the window thread): a request from there runs at once; a request from any
// other thread is queued, announced to the dialog by RequestMessage, and waited for, so it
// completes before it returns. The dialog procedure answers RequestMessage with
// RunRequests. CancelRequests wakes every waiting request and makes every later one
// return at once without effect, whether or not the window still handles messages.

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "toolkit/Toolkit.h"

class Win32Toolkit : public Toolkit {
public:
    static constexpr UINT RequestMessage = WM_APP + 1;

    Win32Toolkit();

    // The dialog that holds the controls and owns the message boxes.
    void Attach(HWND dialog);
    // Window thread: carries out the queued requests.
    void RunRequests();

    void ShowMessage(const std::string& text, const std::string& caption) override;
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
    void CancelRequests() override;

private:
    // Runs work on the window thread and returns its result, or ifCancelled. work must
    // own what it uses: after a cancellation the caller no longer waits for it.
    template <class Result>
    Result Request(Result ifCancelled, std::function<Result()> work);
    void Request(std::function<void()> work);

    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    const DWORD WindowThread;
    HWND Dialog = nullptr;

    std::mutex Mutex;
    std::condition_variable Finished;
    std::deque<std::function<void()>> Queue;
    bool Cancelled = false;
};
