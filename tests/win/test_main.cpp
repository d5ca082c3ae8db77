// Every test program under Wine starts GDI+ for the windows' animations and the screenshots.
#include <gtest/gtest.h>

#include "win32/animation_win.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    relinka::GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}
