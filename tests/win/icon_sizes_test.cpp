// Each icon the windows load holds a picture of every size they ask for at 96, 120, 144 and 192 dpi, so
// the system never stretches one picture to another size, and the system loads it at that size (most
// are stored as PNG, which Windows reads in an icon since Vista).
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "app/amigos_layout.h"
#include "support/window_checks.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"
#include "winlib/unique_win.h"

namespace relinka::testing {
namespace {

// The size of the picture that LoadImageW takes from icon `resource` when asked for `size` pixels: the
// entry the group's directory gives for that size, read from the picture itself (a PNG's header, or a
// bitmap's).
SIZE picture_for(int resource, int size) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(resource), RT_GROUP_ICON);
    if (!group) return {};
    const auto directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    const HRSRC picture = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
    if (!picture) return {};
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, picture)));
    constexpr BYTE kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (SizeofResource(module, picture) > 24 &&
        std::equal(std::begin(kPngSignature), std::end(kPngSignature), bytes)) {
        const auto big_endian = [](const BYTE* at) {
            return LONG(at[0] << 24 | at[1] << 16 | at[2] << 8 | at[3]);
        };
        return {big_endian(bytes + 16), big_endian(bytes + 20)};  // IHDR's width and height
    }
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    return {header->biWidth, header->biHeight / 2};  // the height counts the mask below the colours
}

// The icon as the system loads it at `size` pixels: the size of its colour bitmap, and whether some of it
// is drawn and some left transparent.
struct Loaded {
    SIZE size;
    bool drawn, transparent;
};

Loaded loaded_at(int resource, int size) {
    const UniqueIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, 0)));
    if (!icon) return {};
    ICONINFO parts{};
    GetIconInfo(icon.get(), &parts);
    const UniqueBitmap colour(parts.hbmColor), mask(parts.hbmMask);
    BITMAP bitmap{};
    GetObjectW(colour.get(), sizeof bitmap, &bitmap);
    // Drawn on white and on black: a pixel the same on both is drawn, one that follows the background is not.
    const std::vector<COLORREF> on_white = drawn(icon.get(), size);
    const std::vector<COLORREF> on_black = drawn(icon.get(), size, RGB(0, 0, 0));
    bool drawn_somewhere = false, transparent_somewhere = false;
    for (size_t i = 0; i < on_white.size(); ++i) {
        if (on_white[i] == RGB(255, 255, 255) && on_black[i] == RGB(0, 0, 0))
            transparent_somewhere = true;
        else if (on_white[i] == on_black[i])
            drawn_somewhere = true;
    }
    return {{bitmap.bmWidth, bitmap.bmHeight}, drawn_somewhere, transparent_somewhere};
}

void expect_picture_of_size(int resource, int size, const char* use) {
    const SIZE found = picture_for(resource, size);
    EXPECT_TRUE(found.cx == size && found.cy == size)
        << "icon " << resource << " as " << use << " at " << size << " pixels: the nearest picture is "
        << found.cx << " x " << found.cy;
    const Loaded loaded = loaded_at(resource, size);
    EXPECT_TRUE(loaded.size.cx == size && loaded.size.cy == size && loaded.drawn && loaded.transparent)
        << "icon " << resource << " as " << use << " at " << size << " pixels: loaded " << loaded.size.cx
        << " x " << loaded.size.cy << (loaded.drawn ? "" : ", nothing drawn")
        << (loaded.transparent ? "" : ", nothing transparent");
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
