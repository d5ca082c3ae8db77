#pragma once
// Sizes are given in twips (1/1440 inch); windows want pixels at the screen's real resolution.
#include <windows.h>

namespace relinka {

inline int screen_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

inline int twips_to_pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

}  // namespace relinka
