#include "window_checks.h"

#include <gtest/gtest.h>

#include "win32/window_win.h"
#include "wine_support.h"

namespace relinka::testing {

RECT client_rect_of(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void press(HWND focus, WPARAM key) {
    MSG message{focus, WM_KEYDOWN, key, 0};
    dispatch_message(message);
    MSG release{focus, WM_KEYUP, key, 0};
    dispatch_message(release);
}

COLORREF pixel(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return GetPixel(WindowDc(window).get(), x, y);
}

std::vector<COLORREF> pixels_of(HDC dc, int width, int height) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    return pixels;
}

std::vector<COLORREF> drawn(HICON icon, int size) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    UniqueBitmap canvas(CreateBitmap(size, size, 1, 32, nullptr));
    SelectedObject selected(dc.get(), canvas.get());
    PatBlt(dc.get(), 0, 0, size, size, WHITENESS);
    DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    return pixels_of(dc.get(), size, size);
}

std::vector<COLORREF> drawn(int resource, int size) {
    const auto icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, 0));
    std::vector<COLORREF> pixels = drawn(icon, size);
    DestroyIcon(icon);
    return pixels;
}

void expect_window(HWND hwnd, const ExpectedWindow& expected) {
    EXPECT_EQ(text_of(hwnd), expected.caption);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, expected.client_width);
    EXPECT_EQ(client.bottom, expected.client_height);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(bool(style & WS_THICKFRAME), expected.resizable);
    EXPECT_EQ(bool(style & WS_MINIMIZEBOX), expected.minimize_box);
    EXPECT_EQ(bool(style & WS_MAXIMIZEBOX), expected.maximize_box);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    RECT outer;
    GetWindowRect(hwnd, &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);
    const auto big = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
    const auto small = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
    ASSERT_TRUE(big && small);
    EXPECT_TRUE(drawn(big, 32) == drawn(expected.icon, 32)) << "big icon";
    EXPECT_TRUE(drawn(small, 16) == drawn(expected.icon, 16)) << "small icon";
}

}  // namespace relinka::testing
