// The wait that keeps the program answering, in this process: what runs during it, and what is held
// for its end.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "winlib/answering_wait_win.h"

namespace relinka::testing {
namespace {

constexpr UINT kMark = WM_APP;          // posted, not the operator's: runs during the wait
constexpr UINT kQuestion = WM_APP + 1;  // sent from another thread
constexpr UINT_PTR kTimer = 7;

struct Seen {
    UINT message;
    WPARAM wparam;
    bool operator==(const Seen&) const = default;
};
std::vector<Seen> seen;

LRESULT CALLBACK record(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            ValidateRect(window, nullptr);
            [[fallthrough]];
        case kMark:
        case kQuestion:
        case WM_TIMER:
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_LBUTTONDOWN:
        case WM_MOUSEWHEEL:
        case WM_NCLBUTTONDOWN:
        case BM_CLICK:
        case WM_COMMAND:
        case WM_SYSCOMMAND:
        case WM_CLOSE:
            seen.push_back({message, message == WM_PAINT ? 0 : wparam});
            return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

class AnsweringWait : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = record;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.lpszClassName = L"AnsweringWaitTest";
        RegisterClassW(&window_class);
        window = CreateWindowExW(0, L"AnsweringWaitTest", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(window);
        MSG message;  // what showing the window brought
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        seen.clear();
    }
    void TearDown() override { DestroyWindow(window); }

    // What is left in the queue, as the message loop would take it afterwards.
    std::vector<Seen> then() {
        seen.clear();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        return seen;
    }

    HWND window = nullptr;
};

TEST_F(AnsweringWait, TheOperatorsInputWaitsForTheEndInItsOrderAndEverythingElseRunsMeanwhile) {
    const std::vector<Seen> input = {
        {WM_KEYDOWN, 'A'},
        {WM_CHAR, 'a'},
        {WM_LBUTTONDOWN, MK_LBUTTON},
        {WM_MOUSEWHEEL, 0},
        {WM_NCLBUTTONDOWN, HTCAPTION},
        {BM_CLICK, 0},
        {WM_COMMAND, 1},
        {WM_SYSCOMMAND, SC_CLOSE},
        {WM_CLOSE, 0},
    };
    PostMessageW(window, kMark, 1, 0);
    for (const Seen& message : input) PostMessageW(window, message.message, message.wparam, 0);
    PostMessageW(window, kMark, 2, 0);
    InvalidateRect(window, nullptr, FALSE);
    SetTimer(window, kTimer, 50, nullptr);
    LRESULT answer = 0;
    std::thread other_program([&] {
        Sleep(100);
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(window, kQuestion, 0, 0, SMTO_NORMAL, 100, &result)) answer = 1;
    });

    const ULONGLONG start = GetTickCount64();
    wait_answering(400);
    const ULONGLONG waited = GetTickCount64() - start;
    other_program.join();
    KillTimer(window, kTimer);

    const std::vector<Seen> during = seen;
    EXPECT_GE(waited, 400u);
    EXPECT_LT(waited, 1000u);
    EXPECT_EQ(answer, 1) << "a message sent meanwhile was not answered within 100 ms";
    auto count = [&](UINT message) {
        return std::count_if(during.begin(), during.end(),
                             [&](const Seen& s) { return s.message == message; });
    };
    EXPECT_EQ(count(WM_PAINT), 1);
    EXPECT_GE(count(WM_TIMER), 3) << "timers go on";
    EXPECT_EQ(count(kQuestion), 1);
    std::vector<Seen> marks;
    for (const Seen& s : during)
        if (s.message == kMark) marks.push_back(s);
    EXPECT_EQ(marks, (std::vector<Seen>{{kMark, 1}, {kMark, 2}}));
    for (const Seen& message : input)
        EXPECT_EQ(count(message.message), 0) << "ran during the wait: " << message.message;
    EXPECT_EQ(then(), input);
}

TEST_F(AnsweringWait, QuitEndsItAtOnceAndComesAfterTheHeldInput) {
    PostMessageW(window, BM_CLICK, 0, 0);
    PostQuitMessage(7);
    const ULONGLONG start = GetTickCount64();
    wait_answering(5000);
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_TRUE(seen.empty());
    MSG message;
    ASSERT_GT(GetMessageW(&message, nullptr, 0, 0), 0);
    EXPECT_EQ(message.message, static_cast<UINT>(BM_CLICK));
    EXPECT_EQ(GetMessageW(&message, nullptr, 0, 0), 0);
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
}  // namespace relinka::testing
