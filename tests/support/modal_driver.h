#pragma once
// The Help or About window driven from inside its own message loop, as the operator would use it.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "core/fakes.h"

namespace relinka::testing {

// While a modal window runs its own loop, a thread timer hands it to `step` every 50 ms, with the
// milliseconds since the first call, until `step` answers true (having closed it, usually). A window
// still open after 10 s is closed, and the test fails.
class ModalDriver {
public:
    using Step = std::function<bool(HWND window, ULONGLONG elapsed)>;

    ModalDriver(const wchar_t* caption, Step step) : caption_(caption), step_(std::move(step)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, on_timer);
    }
    ~ModalDriver() {
        if (timer_) KillTimer(nullptr, timer_);
        current_ = nullptr;
        EXPECT_TRUE(finished_) << "the window \"" << utf8(caption_) << "\" was not driven to the end";
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

private:
    static void CALLBACK on_timer(HWND, UINT, UINT_PTR, DWORD) {
        if (current_ && !current_->busy_) current_->tick();
    }
    void tick() {
        const HWND window = FindWindowW(L"RelinkaForm", caption_);
        if (!window || !IsWindowVisible(window)) return;
        const ULONGLONG now = GetTickCount64();
        if (!started_) started_ = now;
        busy_ = true;
        const bool done = now - started_ > 10'000 || step_(window, now - started_);
        busy_ = false;
        if (!done) return;
        finished_ = now - started_ <= 10'000;
        KillTimer(nullptr, std::exchange(timer_, 0));
        if (IsWindow(window)) PostMessageW(window, WM_CLOSE, 0, 0);
    }

    static inline ModalDriver* current_ = nullptr;
    const wchar_t* caption_;
    Step step_;
    UINT_PTR timer_ = 0;
    ULONGLONG started_ = 0;
    bool busy_ = false, finished_ = false;
};

}  // namespace relinka::testing
