// Each icon the windows load holds a picture of every size they ask for at 96, 120, 144 and 192 dpi, so
// the system never stretches one picture to another size.
#include <windows.h>
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "app/amigos_layout.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"

namespace relinka::testing {
namespace {

// The size of the picture that LoadImageW takes from icon `resource` when asked for `size` pixels: the
// entry the group's directory gives for that size, read from the picture itself.
SIZE picture_for(int resource, int size) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(resource), RT_GROUP_ICON);
    if (!group) return {};
    const auto directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    const HRSRC picture = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
    if (!picture) return {};
    const auto header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, picture)));
    return {header->biWidth, header->biHeight / 2};  // the height counts the mask below the colours
}

void expect_picture_of_size(int resource, int size, const char* use) {
    const SIZE found = picture_for(resource, size);
    EXPECT_TRUE(found.cx == size && found.cy == size)
        << "icon " << resource << " as " << use << " at " << size << " pixels: the nearest picture is "
        << found.cx << " x " << found.cy;
}

struct Window {
    const FormSpec& form;
    std::span<const ControlSpec> controls;
};

TEST(IconSizes, EveryIconHoldsEachSizeItIsDrawnAt) {
    const Window windows[] = {
        {kAmigosForm, kAmigosControls}, {kAjudaForm, kAjudaControls}, {kSobreAutoForm, kSobreAutoControls}};
    for (const int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        for (const Window& window : windows) {
            // SM_CXICON and SM_CXSMICON: 32 and 16 pixels at 96 dpi, growing with it.
            expect_picture_of_size(window.form.icon, MulDiv(32, dpi, 96), "large window icon");
            expect_picture_of_size(window.form.icon, MulDiv(16, dpi, 96), "small window icon");
            for (const ControlSpec& control : window.controls)
                if (control.kind == ControlKind::Button && control.picture)
                    expect_picture_of_size(control.picture, MulDiv(32, dpi, 96), "button picture");
        }
    }
}

}  // namespace
}  // namespace relinka::testing
