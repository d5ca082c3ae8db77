#pragma once
// Sizes are given in twips (1/1440 inch); windows want pixels at the screen's real resolution.
#include <windows.h>

#include "winlib/unique_win.h"

namespace relinka {

inline int screen_dpi() { return GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY); }

inline int twips_to_pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

}  // namespace relinka
