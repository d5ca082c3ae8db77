#pragma once
// Whether anybody can see the screen, as Windows tells the window that asks: the session locked or
// disconnected (another user's turn at the PC, a remote desktop closed), the console's display off. Each
// change goes to the animations (set_screen_seen), which rest while nobody sees them.
#include <windows.h>

#include "winlib/unique_win.h"

namespace relinka {

class ScreenWatch {
public:
    using RegisterSession = BOOL WINAPI(HWND window, DWORD flags);
    // The session's notifications are asked for by `register_session` (null: Windows' own,
    // WTSRegisterSessionNotification); where that fails before Remote Desktop Services have started, as at
    // sign-in, again once the event `services_ready` is set, as Windows sets Global\TermSrvReadyEvent then.
    explicit ScreenWatch(const wchar_t* services_ready = L"Global\\TermSrvReadyEvent",
                         RegisterSession* register_session = nullptr)
        : services_ready_name_(services_ready), register_session_(register_session) {}
    ~ScreenWatch() { stop(); }
    ScreenWatch(const ScreenWatch&) = delete;
    ScreenWatch& operator=(const ScreenWatch&) = delete;

    // Every message of the window that watches, which it leaves to that window: at WM_CREATE it asks
    // Windows for the notifications, at WM_DESTROY it stops asking; it reads the notifications.
    void follow(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

private:
    static void CALLBACK services_started(void* window, BOOLEAN);
    void start(HWND window);
    DWORD register_for_session();  // the error, or ERROR_SUCCESS
    void wait_for_session_services();
    void stop_waiting_for_session_services();
    void stop();
    void session_changed(WPARAM change);
    void power_setting_changed(const POWERBROADCAST_SETTING& setting);
    void tell_animations() const;

    const wchar_t* services_ready_name_;
    RegisterSession* register_session_;
    HWND window_ = nullptr;
    HMODULE wtsapi_ = nullptr;
    bool session_registered_ = false;  // the session's notifications come
    UniqueHandle services_ready_;
    HANDLE services_wait_ = nullptr;
    HPOWERNOTIFY display_ = nullptr;
    bool locked_ = false, disconnected_ = false, display_off_ = false;
};

}  // namespace relinka
