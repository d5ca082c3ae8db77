// Whether anybody sees the screen: at sign-in Windows may refuse the session's notifications until Remote
// Desktop Services have started; they are asked for again once it says they have.
#include <windows.h>
#include <gtest/gtest.h>

#include "support/wine_support.h"
#include "winlib/screen_watch_win.h"
#include "winlib/unique_win.h"

namespace relinka::testing {
namespace {

constexpr wchar_t kServicesReady[] = L"Local\\Relinka test TermSrvReadyEvent";

int registrations = 0;
BOOL WINAPI refused_until_services_start(HWND, DWORD) {
    if (++registrations > 1) return TRUE;
    SetLastError(RPC_S_INVALID_BINDING);
    return FALSE;
}

ScreenWatch* watching = nullptr;
LRESULT CALLBACK watched(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (watching) watching->follow(window, message, wparam, lparam);
    return DefWindowProcW(window, message, wparam, lparam);
}

TEST(ScreenWatch, TheSessionsNotificationsAreAskedForAgainOnceRemoteDesktopServicesHaveStarted) {
    const UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, kServicesReady));
    ScreenWatch watch(kServicesReady, refused_until_services_start);
    watching = &watch;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = watched;
    window_class.lpszClassName = L"ScreenWatchTest";
    RegisterClassW(&window_class);
    const HWND window = CreateWindowW(L"ScreenWatchTest", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
    ASSERT_TRUE(window);
    pump_for(300);
    EXPECT_EQ(registrations, 1) << "asked again before the services started";
    SetEvent(ready.get());
    EXPECT_TRUE(wait_until([] { return registrations == 2; }, 2000));
    DestroyWindow(window);
    watching = nullptr;
}

}  // namespace
}  // namespace relinka::testing
