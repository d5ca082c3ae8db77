#pragma once
// What the screen shows of a control's area, read back from the screen itself (not from the window's own
// drawing), for a bench to prove that what it counted was drawn.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "winlib/unique_win.h"

namespace relinka::testing {

class ScreenArea {
public:
    explicit ScreenArea(HWND control);

    // Whether the screen shows the area otherwise than at the last look (the first look: than a black
    // area). The thread's waiting messages are handled first: the window system puts a window's drawing
    // on the screen once its thread has nothing left to do.
    bool changed();
    // Null when nothing lies over the area's middle on the screen, else what does.
    HWND covered_by() const;

private:
    HWND control_;
    SIZE size_;
    UniqueBitmap bitmap_;
    const std::uint32_t* pixels_ = nullptr;
    std::vector<std::uint32_t> last_;  // as the last look saw it
};

}  // namespace relinka::testing
