#pragma once
// How well a caption reads on its fill, as WCAG 2 measures it, and the rule every caption the program
// colours follows: its own colour where that reads at least 4.5:1 on the fill, else black or white,
// whichever reads better (one of them always reaches 4.5:1).
#include "winlib/control_table.h"

namespace relinka {

inline constexpr double kReadableContrast = 4.5;

// The relative luminance of an sRGB colour given as 0x00BBGGRR: 0 for black, 1 for white.
double relative_luminance(ColourValue colour);
// (lighter + 0.05) / (darker + 0.05): 1 for two equal colours, 21 for black and white.
double contrast_ratio(ColourValue one, ColourValue other);
// The colour a caption that wants `wanted` is drawn in on `fill`. Both are plain colours (the system's
// already looked up).
ColourValue readable_on(ColourValue fill, ColourValue wanted);

}  // namespace relinka
