// The least a program must do before its window shows beside EchoLink: start COM, create EchoLink's
// object, show one plain window (green, so the bench sees it painted). relinka.exe's start-up is held
// against this.
#include <windows.h>
#include <wrl/client.h>

#include "echolink/echolink_automation_win.h"
#include "winlib/com_win.h"

LRESULT CALLBACK floor_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    relinka::ComApartment apartment;
    Microsoft::WRL::ComPtr<relinka::IEchoLinkApp> echolink;
    if (FAILED(CoCreateInstance(relinka::kEchoLinkClass, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&echolink))))
        return 1;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = floor_procedure;
    window_class.hInstance = instance;
    window_class.hbrBackground = CreateSolidBrush(RGB(0, 255, 0));
    window_class.lpszClassName = L"RelinkaFloor";
    RegisterClassW(&window_class);
    const HWND window = CreateWindowW(L"RelinkaFloor", L"floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                      CW_USEDEFAULT, 300, 200, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
