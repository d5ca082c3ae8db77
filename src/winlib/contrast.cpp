#include "winlib/contrast.h"

#include <algorithm>
#include <cmath>

namespace relinka {

namespace {

constexpr ColourValue kBlack = rgb(0, 0, 0), kWhite = rgb(255, 255, 255);

// One sRGB channel (0..255) as linear light.
double linear(unsigned channel) {
    const double value = channel / 255.0;
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

}  // namespace

double relative_luminance(ColourValue colour) {
    return 0.2126 * linear(colour & 0xFF) + 0.7152 * linear(colour >> 8 & 0xFF) +
           0.0722 * linear(colour >> 16 & 0xFF);
}

double contrast_ratio(ColourValue one, ColourValue other) {
    const double a = relative_luminance(one), b = relative_luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

ColourValue readable_on(ColourValue fill, ColourValue wanted) {
    if (contrast_ratio(wanted, fill) >= kReadableContrast) return wanted;
    return contrast_ratio(kBlack, fill) >= contrast_ratio(kWhite, fill) ? kBlack : kWhite;
}

}  // namespace relinka
