#include "screen_area.h"

#include <algorithm>

#include "winlib/window_win.h"

namespace relinka::testing {

ScreenArea::ScreenArea(HWND control) : control_(control) {
    RECT area;
    GetClientRect(control, &area);
    size_ = {area.right, area.bottom};
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size_.cx, -size_.cy, 1, 32, BI_RGB};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    pixels_ = static_cast<const std::uint32_t*>(bits);
    last_.assign(size_t(size_.cx) * size_t(size_.cy), 0);
}

bool ScreenArea::changed() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) dispatch_message(message);
    POINT origin{0, 0};
    ClientToScreen(control_, &origin);
    {
        const WindowDc screen(nullptr);
        const UniqueMemoryDc copy(CreateCompatibleDC(screen.get()));
        const SelectedObject selected(copy.get(), bitmap_.get());
        BitBlt(copy.get(), 0, 0, size_.cx, size_.cy, screen.get(), origin.x, origin.y, SRCCOPY);
    }
    const bool differs = !std::equal(last_.begin(), last_.end(), pixels_);
    std::copy(pixels_, pixels_ + last_.size(), last_.begin());
    return differs;
}

HWND ScreenArea::covered_by() const {
    POINT middle{size_.cx / 2, size_.cy / 2};
    ClientToScreen(control_, &middle);
    const HWND top = WindowFromPoint(middle);
    return top == control_ ? nullptr : top;
}

}  // namespace relinka::testing
