// The contrast rule the program's captions follow, on colours whose figures are known.
#include "winlib/contrast.h"

#include <gtest/gtest.h>

namespace relinka::testing {
namespace {

constexpr ColourValue kBlack = rgb(0, 0, 0), kWhite = rgb(255, 255, 255);

TEST(Contrast, LuminanceWeighsTheChannelsInTheirOwnPlacesAsLinearLight) {
    EXPECT_DOUBLE_EQ(relative_luminance(kBlack), 0.0);
    EXPECT_NEAR(relative_luminance(kWhite), 1.0, 1e-12);
    // Red is the low byte.
    EXPECT_NEAR(relative_luminance(rgb(255, 0, 0)), 0.2126, 1e-12);
    EXPECT_NEAR(relative_luminance(rgb(0, 255, 0)), 0.7152, 1e-12);
    EXPECT_NEAR(relative_luminance(rgb(0, 0, 255)), 0.0722, 1e-12);
    // Mid grey is a fifth of white's light, not half: sRGB is not linear.
    EXPECT_NEAR(relative_luminance(rgb(128, 128, 128)), 0.2159, 1e-4);
    // The curve's straight foot.
    EXPECT_NEAR(relative_luminance(rgb(10, 10, 10)), 10 / 255.0 / 12.92, 1e-12);
}

TEST(Contrast, RatiosRunFromOneToTwentyOneWhicheverColourComesFirst) {
    EXPECT_NEAR(contrast_ratio(kBlack, kWhite), 21.0, 1e-9);
    EXPECT_NEAR(contrast_ratio(kWhite, kBlack), 21.0, 1e-9);
    EXPECT_DOUBLE_EQ(contrast_ratio(rgb(0, 128, 128), rgb(0, 128, 128)), 1.0);
    // Figures measured on the program's captions before the rule (white text of a dark palette).
    EXPECT_NEAR(contrast_ratio(kWhite, rgb(255, 255, 0)), 1.07, 0.01);  // "Sobre"
    EXPECT_NEAR(contrast_ratio(kWhite, rgb(255, 0, 0)), 4.00, 0.01);    // "Encerrar"
    EXPECT_NEAR(contrast_ratio(rgb(0, 0, 255), kBlack), 2.44, 0.01);    // the blue title on black
    EXPECT_NEAR(contrast_ratio(kBlack, rgb(0, 128, 128)), 4.40, 0.01);  // "Desconecta todos"
}

TEST(Contrast, ACaptionKeepsItsColourWhereItReadsAtLeastFourAndAHalfToOne) {
    EXPECT_EQ(readable_on(rgb(255, 255, 0), kBlack), kBlack);
    EXPECT_EQ(readable_on(kBlack, kWhite), kWhite);
    EXPECT_EQ(readable_on(rgb(245, 245, 245), rgb(0, 0, 255)), rgb(0, 0, 255));
    EXPECT_EQ(readable_on(rgb(245, 245, 245), rgb(192, 0, 0)), rgb(192, 0, 0));
    // White on grey 118 reads 4.54:1 and stays; on grey 119, 4.49:1, and black (4.68:1) takes its place.
    EXPECT_EQ(readable_on(rgb(118, 118, 118), kWhite), kWhite);
    EXPECT_EQ(readable_on(rgb(119, 119, 119), kWhite), kBlack);
}

TEST(Contrast, BelowThatTheCaptionTakesBlackOrWhiteWhicheverReadsBetter) {
    EXPECT_EQ(readable_on(rgb(0, 128, 128), kBlack), kWhite);  // "Desconecta todos": 4.77:1
    EXPECT_EQ(readable_on(rgb(255, 0, 0), kWhite), kBlack);    // 5.25:1
    EXPECT_EQ(readable_on(rgb(255, 255, 0), kWhite), kBlack);
    EXPECT_EQ(readable_on(kBlack, rgb(0, 0, 255)), kWhite);                 // the blue title on black
    EXPECT_EQ(readable_on(kBlack, rgb(192, 0, 0)), kWhite);                 // the dark-red note on black
    EXPECT_EQ(readable_on(kBlack, kBlack), kWhite);                         // a caption that vanished
    EXPECT_EQ(readable_on(rgb(245, 245, 245), rgb(50, 150, 250)), kBlack);  // a light title colour
    // Whatever the fill, the colour taken reads at least 4.5:1 on it.
    for (unsigned grey = 0; grey < 256; ++grey) {
        const ColourValue fill = rgb(grey, grey, grey);
        EXPECT_GE(contrast_ratio(readable_on(fill, rgb(128, 128, 128)), fill), kReadableContrast) << grey;
    }
}

}  // namespace
}  // namespace relinka::testing
