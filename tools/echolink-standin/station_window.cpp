#include "station_window.h"

#include <new>
#include <utility>

#include "echolink_app.h"

namespace standin {

namespace {

constexpr int kListId = 100;
constexpr int kDropId = 101;
constexpr int kCloseId = 102;
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 250;
constexpr int kClientWidth = 300;
constexpr int kClientHeight = 240;

std::wstring row_text(const Station& station) {
    return station.established ? station.callsign : station.callsign + L"  (conectando)";
}

}  // namespace

HRESULT StationWindow::open(EchoLinkApp& app, int show, std::unique_ptr<StationWindow>& out) noexcept {
    std::unique_ptr<StationWindow> window(new (std::nothrow) StationWindow(app));
    if (!window) return E_OUTOFMEMORY;
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    // Where Windows puts a new window: it ignores the top when the left is CW_USEDEFAULT.
    const RECT bounds{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + (frame.right - frame.left),
                      CW_USEDEFAULT + (frame.bottom - frame.top)};
    if (!window->create(style, bounds, L"EchoLink (substituto)")) return HRESULT_FROM_WIN32(GetLastError());
    ShowWindow(window->hwnd(), show);
    out = std::move(window);
    return S_OK;
}

LRESULT StationWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            create_controls();
            SetTimer(hwnd(), kRefreshTimer, kRefreshMs, nullptr);
            return 0;
        case WM_TIMER:
            refresh();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED && LOWORD(wparam) == kDropId) drop_selected();
            if (HIWORD(wparam) == BN_CLICKED && LOWORD(wparam) == kCloseId) close();
            return 0;
        case WM_CLOSE:
            close();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return Window::handle(message, wparam, lparam);
}

void StationWindow::create_controls() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd(), GWLP_HINSTANCE));
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    auto control = [&](const wchar_t* class_name, const wchar_t* text, DWORD style, int x, int y, int width,
                       int height, int id) {
        HWND created =
            CreateWindowExW(0, class_name, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, width,
                            height, hwnd(), reinterpret_cast<HMENU>(INT_PTR{id}), instance, nullptr);
        SendMessageW(created, WM_SETFONT, font, FALSE);
        return created;
    };
    list_ = control(L"LISTBOX", L"", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 10, 10, 280,
                    180, kListId);
    control(L"BUTTON", L"Derrubar", BS_PUSHBUTTON, 10, 202, 90, 28, kDropId);
    control(L"BUTTON", L"Fechar", BS_PUSHBUTTON, 200, 202, 90, 28, kCloseId);
}

void StationWindow::refresh() {
    std::vector<Station> stations = app_.stations();
    if (stations == shown_) return;  // rebuilding would lose the selection for nothing
    const LRESULT selected = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    const std::wstring selected_callsign = selected == LB_ERR ? L"" : shown_[selected].callsign;
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (size_t row = 0; row < stations.size(); ++row) {
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row_text(stations[row]).c_str()));
        if (selected != LB_ERR && stations[row].callsign == selected_callsign)
            SendMessageW(list_, LB_SETCURSEL, row, 0);
    }
    shown_ = std::move(stations);
}

void StationWindow::drop_selected() {
    const LRESULT selected = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    app_.drop_link(shown_[selected].callsign);
    refresh();
}

void StationWindow::close() {
    // Subscribers are called synchronously and we pump messages meanwhile: a second click must wait.
    if (closing_) return;
    closing_ = true;
    app_.raise_closing();
    DestroyWindow(hwnd());
}

}  // namespace standin
