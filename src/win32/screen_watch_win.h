#pragma once
// Whether anybody can see the screen, as Windows tells the window that asks: the session locked or
// disconnected (another user's turn at the PC, a remote desktop closed), the console's display off. Each
// change goes to the animations (set_screen_seen), which rest while nobody sees them.
#include <windows.h>

namespace relinka {

class ScreenWatch {
public:
    ScreenWatch() = default;
    ~ScreenWatch() { stop(); }
    ScreenWatch(const ScreenWatch&) = delete;
    ScreenWatch& operator=(const ScreenWatch&) = delete;

    // Every message of the window that watches, which it leaves to that window: at WM_CREATE it asks
    // Windows for the notifications, at WM_DESTROY it stops asking; it reads the notifications.
    void follow(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

private:
    void start(HWND window);
    void stop();
    void session_changed(WPARAM change);
    void power_setting_changed(const POWERBROADCAST_SETTING& setting);
    void tell_animations() const;

    HWND window_ = nullptr;
    HMODULE wtsapi_ = nullptr;  // while the session's notifications come
    HPOWERNOTIFY display_ = nullptr;
    bool locked_ = false, disconnected_ = false, display_off_ = false;
};

}  // namespace relinka
