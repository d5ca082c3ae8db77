#pragma once
// The screen as a test sets it: high contrast on or off, windows made at a resolution of its choosing,
// and frames as this Wine draws them, at the system's resolution whatever a window's (Windows draws
// them at the window's).
#include <windows.h>

#include "winlib/screen_win.h"

namespace relinka::testing {

struct TestScreen : Screen {
    bool high_contrast_on = false;
    int dpi = 0;  // 0: the system's

    bool high_contrast() const override { return high_contrast_on; }
    int dpi_of(HWND window) const override { return dpi ? dpi : Screen::dpi_of(window); }
    SIZE window_size_for(SIZE client, DWORD style, int) const override {
        RECT bounds{0, 0, client.cx, client.cy};
        AdjustWindowRectEx(&bounds, style, FALSE, 0);
        return {bounds.right - bounds.left, bounds.bottom - bounds.top};
    }
};

}  // namespace relinka::testing
