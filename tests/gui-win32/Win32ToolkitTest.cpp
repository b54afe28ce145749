// The Win32 toolkit's hand-over between the worker and the window thread, on real
// controls: this test's thread is the window thread and decides when it handles messages.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>

#include "gui-win32/Win32Toolkit.h"

namespace {

constexpr int ComboId = 1000;
constexpr auto Patience = std::chrono::seconds(30);

class Win32ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        Parent = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        CreateWindowW(L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 100, Parent,
                      reinterpret_cast<HMENU>(ComboId), nullptr, nullptr);
        Kit.Attach(Parent);
    }
    void TearDown() override { DestroyWindow(Parent); }

    // Waits until the worker has announced a request, without handling it.
    bool RequestAnnounced() {
        const auto deadline = std::chrono::steady_clock::now() + Patience;
        MSG message;
        while (!PeekMessageW(&message, Parent, Win32Toolkit::RequestMessage, Win32Toolkit::RequestMessage,
                             PM_NOREMOVE)) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            Sleep(5);
        }
        return true;
    }

    // Carries out requests as the dialog does, until the worker's call has returned.
    template <class T> T HandleUntilReady(std::future<T>& call) {
        const auto deadline = std::chrono::steady_clock::now() + Patience;
        while (call.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
            MSG message;
            while (PeekMessageW(&message, Parent, Win32Toolkit::RequestMessage, Win32Toolkit::RequestMessage,
                                PM_REMOVE))
                Kit.RunRequest();
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "the request was never carried out";
                Kit.CancelRequests();
            }
        }
        return call.get();
    }

    HWND Parent = nullptr;
    Win32Toolkit Kit;
};

// A worker's call that never returns would also hold the test at its end: the program
// stops instead.
template <class T> T Returned(std::future<T>& call) {
    if (call.wait_for(Patience) != std::future_status::ready) {
        std::fputs("A request did not return after the cancelling.\n", stderr);
        std::abort();
    }
    return call.get();
}

TEST_F(Win32ToolkitTest, AWorkersRequestsAreCarriedOutOnTheWindowThread) {
    auto call = std::async(std::launch::async, [this] {
        Kit.ComboAppend(ComboId, "COM1");
        Kit.ComboAppend(ComboId, "Подключение к компьютеру");
        Kit.ComboSelect(ComboId, 1);
        return Kit.ComboText(ComboId);
    });
    EXPECT_EQ(HandleUntilReady(call), "Подключение к компьютеру");

    // An index outside the list selects nothing.
    auto outside = std::async(std::launch::async, [this] {
        Kit.ComboSelect(ComboId, 2);
        return Kit.ComboSelected(ComboId);
    });
    EXPECT_EQ(HandleUntilReady(outside), -1);
}

// The window is going away while the worker waits: the waiting request and every later
// one return at once with the cancelled answer, though no message is handled any more.
TEST_F(Win32ToolkitTest, ARequestWaitingWhenTheWindowGoesReturnsAtOnce) {
    auto call = std::async(std::launch::async, [this] { return Kit.ComboSelected(ComboId); });
    ASSERT_TRUE(RequestAnnounced());
    EXPECT_EQ(call.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    Kit.CancelRequests();
    EXPECT_EQ(Returned(call), -1);

    auto later = std::async(std::launch::async, [this] {
        Kit.ShowMessage("не показывается", "Информация");
        return Kit.ComboText(ComboId);
    });
    EXPECT_EQ(Returned(later), "");
}

}  // namespace
