#include "winlib/screen_watch_win.h"

#include <versionhelpers.h>
#include <wtsapi32.h>

#include <cstring>

#include "winlib/animation_win.h"
#include "winlib/private_messages_win.h"
#include "winlib/system_library_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

// The console display's state, Windows 8 on (0 off, 1 on, 2 dimmed); the monitor's power on Windows 7
// (0 off, 1 on).
constexpr GUID kConsoleDisplayState{
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

}  // namespace

void ScreenWatch::follow(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            start(window);
            break;
        case WM_DESTROY:
            stop();
            break;
        case WM_WTSSESSION_CHANGE:
            session_changed(wparam);
            break;
        case kSessionServicesStarted:
            stop_waiting_for_session_services();
            register_for_session();
            break;
        case WM_POWERBROADCAST:
            if (wparam == PBT_POWERSETTINGCHANGE)
                power_setting_changed(*reinterpret_cast<const POWERBROADCAST_SETTING*>(lparam));
            break;
    }
}

void ScreenWatch::start(HWND window) {
    window_ = window;
    // wtsapi32 is not one of Windows' KnownDLLs.
    if (!register_session_) wtsapi_ = load_system_library(L"wtsapi32.dll");
    if (register_for_session() == RPC_S_INVALID_BINDING) wait_for_session_services();
    // Windows sends the current state at once.
    display_ = RegisterPowerSettingNotification(
        window, IsWindows8OrGreater() ? &kConsoleDisplayState : &kMonitorPowerOn,
        DEVICE_NOTIFY_WINDOW_HANDLE);
    trace_last_error_if(!display_,
                        "RegisterPowerSettingNotification, so animations play on while the display is off");
}

DWORD ScreenWatch::register_for_session() {
    RegisterSession* const register_session =
        register_session_ ? register_session_
                          : function_of<RegisterSession>(wtsapi_, "WTSRegisterSessionNotification");
    session_registered_ = register_session && register_session(window_, NOTIFY_FOR_THIS_SESSION);
    if (session_registered_) return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    trace_last_error("WTSRegisterSessionNotification, so animations play on while the session is locked");
    return error;
}

// The registration failed before Remote Desktop Services had started, as it may at sign-in: it is asked
// again once they have.
void ScreenWatch::wait_for_session_services() {
    services_ready_.reset(OpenEventW(SYNCHRONIZE, FALSE, services_ready_name_));
    trace_last_error_if(!services_ready_ || !RegisterWaitForSingleObject(
                                                &services_wait_, services_ready_.get(), services_started,
                                                window_, INFINITE, WT_EXECUTEONLYONCE),
                        "Remote Desktop Services' start not awaited, so animations play on while locked");
}

void CALLBACK ScreenWatch::services_started(void* window, BOOLEAN) {
    trace_last_error_if(!PostMessageW(static_cast<HWND>(window), kSessionServicesStarted, 0, 0),
                        "Remote Desktop Services started, but the session's notifications stay unasked");
}

void ScreenWatch::stop_waiting_for_session_services() {
    // Waits for a callback under way, which only posts.
    if (services_wait_) UnregisterWaitEx(services_wait_, INVALID_HANDLE_VALUE);
    services_wait_ = nullptr;
    services_ready_.reset();
}

void ScreenWatch::stop() {
    stop_waiting_for_session_services();
    if (session_registered_ && wtsapi_) {
        if (const auto unregister = function_of<decltype(WTSUnRegisterSessionNotification)>(
                wtsapi_, "WTSUnRegisterSessionNotification"))
            unregister(window_);
    }
    session_registered_ = false;
    if (wtsapi_) FreeLibrary(wtsapi_);
    wtsapi_ = nullptr;
    if (display_) UnregisterPowerSettingNotification(display_);
    display_ = nullptr;
    if (!window_) return;
    window_ = nullptr;
    // Nobody tells the animations of the screen any more.
    locked_ = disconnected_ = display_off_ = false;
    tell_animations();
}

void ScreenWatch::session_changed(WPARAM change) {
    switch (change) {
        case WTS_SESSION_LOCK:
            locked_ = true;
            break;
        case WTS_SESSION_UNLOCK:
            locked_ = false;
            break;
        case WTS_CONSOLE_DISCONNECT:
        case WTS_REMOTE_DISCONNECT:
            disconnected_ = true;
            break;
        case WTS_CONSOLE_CONNECT:
            disconnected_ = false;
            break;
        case WTS_REMOTE_CONNECT:  // seen on another machine's screen, whatever the console's display does
            disconnected_ = display_off_ = false;
            break;
        default:
            return;
    }
    tell_animations();
}

void ScreenWatch::power_setting_changed(const POWERBROADCAST_SETTING& setting) {
    if (!IsEqualGUID(setting.PowerSetting, kConsoleDisplayState) &&
        !IsEqualGUID(setting.PowerSetting, kMonitorPowerOn))
        return;
    if (setting.DataLength < sizeof(DWORD) || GetSystemMetrics(SM_REMOTESESSION)) return;
    DWORD state = 0;
    std::memcpy(&state, setting.Data, sizeof state);
    display_off_ = state == 0;  // dimmed is still seen
    tell_animations();
}

void ScreenWatch::tell_animations() const { set_screen_seen(!locked_ && !disconnected_ && !display_off_); }

}  // namespace relinka
