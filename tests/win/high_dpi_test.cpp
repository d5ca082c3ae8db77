// The main window at 144 dots per inch, in a Wine prefix set to that resolution: its areas grow with the
// resolution, and what they hold is drawn to fill them.
#include <gtest/gtest.h>

#include "support/loaded_window.h"
#include "support/window_checks.h"
#include "winlib/fonts_win.h"

namespace relinka::testing {
namespace {

constexpr int kDpi = 144;
constexpr int kLogoWidth = 274, kLogoHeight = 51;  // the bitmap's own size, drawn at every resolution

TEST(HighDpi, TheWindowIsLaidOutAtTheScreensResolution) {
    LoadedWindow loaded;
    ASSERT_EQ(loaded.window.dpi(), kDpi) << "the prefix is not set to 144 dpi";
    const RECT image = client_rect_of(loaded.window.control(kImage1));
    EXPECT_EQ(image.right - image.left, MulDiv(design_in(kAmigosControls, kImage1).width, kDpi, 1440));
    for (int id : {kCommand1, kText1, kLabel9}) {
        SCOPED_TRACE(id);
        expect_font(loaded.window.control(id), design_in(kAmigosControls, id).font, kDpi);
    }
    save_screenshot(loaded.window.hwnd(), L"amigos_144dpi.png");
}

// The logo keeps its size; the rest of its larger area is the banner's white, painted afresh each time
// (a window passing over it leaves nothing behind).
TEST(HighDpi, TheLogosWholeAreaIsTheBannersWhite) {
    LoadedWindow loaded;
    const HWND image = loaded.window.control(kImage1);
    RECT area;
    GetClientRect(image, &area);
    ASSERT_GT(area.right, kLogoWidth);
    ASSERT_GT(area.bottom, kLogoHeight);
    for (int pass = 0; pass < 2; ++pass) {
        RedrawWindow(image, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const std::vector<COLORREF> shown = pixels_of(WindowDc(image).get(), area.right, area.bottom);
        int grey = 0;
        for (int y = 0; y < area.bottom; ++y)
            for (int x = 0; x < area.right; ++x)
                if ((x >= kLogoWidth || y >= kLogoHeight) && shown[y * area.right + x] != RGB(255, 255, 255))
                    ++grey;
        EXPECT_EQ(grey, 0) << "pixels around the logo that are not white, pass " << pass;
    }
}

}  // namespace
}  // namespace relinka::testing
