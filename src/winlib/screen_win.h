#pragma once
// What the forms ask of the screen they are shown on: whether Windows' high contrast is on, and the
// resolution of the monitor a window is on. A form asks the system (system_screen()) unless it is given
// another screen; the tests give their own, since Wine never reports high contrast nor a monitor at
// another scale.
#include <windows.h>

namespace relinka {

class Screen {
public:
    virtual ~Screen() = default;
    // SPI_GETHIGHCONTRAST; off where Windows would not say.
    virtual bool high_contrast() const;
    // Dots per inch of the monitor `window` is on (GetDpiForWindow, Windows 10 on); before Windows 10 every
    // window is at the system's.
    virtual int dpi_of(HWND window) const;
    // The size of a window of `style` (no menu, no extended style) around a client area of `client`
    // pixels at `dpi`: the frame is the one Windows draws at that resolution (AdjustWindowRectExForDpi,
    // Windows 10 on).
    virtual SIZE window_size_for(SIZE client, DWORD style, int dpi) const;
};

const Screen& system_screen();

// A system metric (SM_CXICON, ...) at `dpi` (GetSystemMetricsForDpi, Windows 10 on).
int system_metric_for(int index, int dpi);

}  // namespace relinka
