#pragma once
// Checks the window tests share: where a control stands, what a window or an icon shows, the keyboard.
#include <windows.h>

#include <vector>

namespace relinka::testing {

// A control's rectangle in its parent's client area.
RECT client_rect_of(HWND control);
// A key pressed and released on `focus`, through the program's own message handling.
void press(HWND focus, WPARAM key);
// A pixel of a window after it has painted.
COLORREF pixel(HWND window, int x, int y);
// Every pixel of an area of a device context.
std::vector<COLORREF> pixels_of(HDC dc, int width, int height);
// An icon drawn on white: the window's own, or one loaded from the program's resources.
std::vector<COLORREF> drawn(HICON icon, int size);
std::vector<COLORREF> drawn(int resource, int size);

// A window as the design gives it, in pixels at 96 dpi.
struct ExpectedWindow {
    const wchar_t* caption;
    int client_width, client_height;
    bool resizable, minimize_box, maximize_box;
    int icon;
};
// The window itself: caption, client size, frame, place on the screen, icon, owner.
void expect_window(HWND hwnd, const ExpectedWindow& expected);

}  // namespace relinka::testing
