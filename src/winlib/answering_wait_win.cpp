#include "winlib/answering_wait_win.h"

#include <vector>

#include "winlib/trace_win.h"
#include "winlib/window_win.h"

namespace relinka {

namespace {

struct MessageRange {
    UINT first, last;
};

constexpr MessageRange kOperatorInput[] = {
    {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},  // the mouse on a title bar or a frame
    {WM_KEYFIRST, WM_KEYLAST},             // keys and characters
    {WM_COMMAND, WM_SYSCOMMAND},           // a command, a window's menu (close, minimize...)
    {WM_MOUSEFIRST, WM_MOUSEHWHEEL},       // the mouse in a window
    {WM_NCMOUSEHOVER, WM_MOUSELEAVE},
    {BM_CLICK, BM_CLICK},  // how screen readers and other programs press a button
    {WM_CLOSE, WM_CLOSE},
};

// Sent messages, posted messages and timers, painting: everything but the keyboard's and mouse's queue.
constexpr UINT kAnswered = PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE | PM_QS_PAINT;
constexpr DWORD kWakeFor = QS_SENDMESSAGE | QS_POSTMESSAGE | QS_TIMER | QS_HOTKEY | QS_PAINT;

void post_again(const std::vector<MSG>& held) {
    for (const MSG& message : held) {
        if (message.hwnd && !IsWindow(message.hwnd)) continue;  // its window went meanwhile
        trace_last_error_if(!PostMessageW(message.hwnd, message.message, message.wParam, message.lParam),
                            "posting the operator's input again after a wait: dropped");
    }
}

}  // namespace

bool held_during_wait(UINT message) {
    for (const MessageRange& range : kOperatorInput)
        if (message >= range.first && message <= range.last) return true;
    return false;
}

void wait_answering(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    std::vector<MSG> held;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MSG message;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | kAnswered)) {
            MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), kWakeFor, 0);
        } else if (message.message == WM_QUIT) {
            post_again(held);
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        } else if (held_during_wait(message.message)) {
            held.push_back(message);
        } else {
            dispatch_message(message);
        }
    }
    post_again(held);
}

}  // namespace relinka
