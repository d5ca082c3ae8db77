// The three windows told that their monitor's resolution changed, as Windows tells a window moved to a
// monitor at another scale: each lays out again exactly as the same window made at that resolution, and
// back at 96 dpi exactly as it was.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "loaded_window.h"
#include "test_screen.h"
#include "win32/twips_win.h"
#include "window_checks.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"

namespace relinka::testing {
namespace {

SIZE size_of(const RECT& rect) { return {rect.right - rect.left, rect.bottom - rect.top}; }

SIZE icon_size(HWND window, WPARAM which) {
    ICONINFO icon{};
    if (!GetIconInfo(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0)), &icon)) return {};
    BITMAP mask{};
    GetObjectW(icon.hbmMask, sizeof mask, &mask);
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
    return {mask.bmWidth, icon.hbmColor ? mask.bmHeight : mask.bmHeight / 2};
}

// Everything of a window that its resolution decides.
struct Layout {
    SIZE window{}, client{}, big_icon{}, small_icon{};
    struct Placed {
        std::string name;
        RECT rect;
        LONG font_height, font_weight;
        std::wstring face;
        std::vector<COLORREF> drawn;  // what an owner-drawn control paints
        bool operator==(const Placed&) const = default;
    };
    std::vector<Placed> controls;
};

bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }
bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

Layout layout_of(const Form& form, std::span<const ControlSpec> table) {
    Layout layout;
    RECT window, client;
    GetWindowRect(form.hwnd(), &window);
    GetClientRect(form.hwnd(), &client);
    layout.window = size_of(window);
    layout.client = size_of(client);
    layout.big_icon = icon_size(form.hwnd(), ICON_BIG);
    layout.small_icon = icon_size(form.hwnd(), ICON_SMALL);
    for (const ControlSpec& design : table) {
        const HWND control = form.control(design.id);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        const bool owner_drawn = design.kind == ControlKind::Button ||
                                 design.kind == ControlKind::Indicator || design.kind == ControlKind::Image;
        layout.controls.push_back({utf8(design.name) + " " + std::to_string(design.id),
                                   client_rect_of(control), font.lfHeight, font.lfWeight, font.lfFaceName,
                                   owner_drawn ? printed(control).pixels : std::vector<COLORREF>{}});
    }
    return layout;
}

void expect_same(const Layout& actual, const Layout& expected, const char* when) {
    SCOPED_TRACE(when);
    EXPECT_TRUE(actual.window == expected.window)
        << "window " << actual.window.cx << "x" << actual.window.cy << ", expected " << expected.window.cx
        << "x" << expected.window.cy;
    EXPECT_TRUE(actual.client == expected.client)
        << "client " << actual.client.cx << "x" << actual.client.cy << ", expected " << expected.client.cx
        << "x" << expected.client.cy;
    EXPECT_TRUE(actual.big_icon == expected.big_icon) << "big icon " << actual.big_icon.cx;
    EXPECT_TRUE(actual.small_icon == expected.small_icon) << "small icon " << actual.small_icon.cx;
    ASSERT_EQ(actual.controls.size(), expected.controls.size());
    for (size_t i = 0; i < actual.controls.size(); ++i) {
        const Layout::Placed &is = actual.controls[i], &was = expected.controls[i];
        SCOPED_TRACE(is.name);
        EXPECT_TRUE(is.rect == was.rect)
            << "at " << is.rect.left << "," << is.rect.top << " " << is.rect.right - is.rect.left << "x"
            << is.rect.bottom - is.rect.top << ", expected " << was.rect.left << "," << was.rect.top << " "
            << was.rect.right - was.rect.left << "x" << was.rect.bottom - was.rect.top;
        EXPECT_EQ(is.font_height, was.font_height);
        EXPECT_EQ(is.font_weight, was.font_weight);
        EXPECT_EQ(is.face, was.face);
        EXPECT_TRUE(is.drawn == was.drawn) << "drawn otherwise";
    }
}

// As Windows does when the window's monitor changes resolution: it asks the window's size there, then
// tells it the new resolution with the rectangle it suggests.
void move_to_dpi(HWND window, int dpi) {
    RECT now;
    GetWindowRect(window, &now);
    SIZE size = size_of(now);
    SendMessageW(window, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size));
    RECT suggested{now.left, now.top, now.left + size.cx, now.top + size.cy};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    pump_for(100);
}

// Opens a window of the program on `screen` and hands it to `use`.
using WithForm = std::function<void(const Screen& screen, const std::function<void(Form&)>& use)>;

// Made at 144 dpi; made at 96, moved to 144 and back.
void expect_follows_the_resolution(const FormSpec& spec, std::span<const ControlSpec> table,
                                   const WithForm& with_form) {
    TestScreen at_144, at_96;
    at_144.dpi = 144;
    at_96.dpi = 96;
    Layout made_at_144;
    with_form(at_144, [&](Form& form) { made_at_144 = layout_of(form, table); });
    ASSERT_TRUE(made_at_144.client ==
                (SIZE{twips_to_pixels(spec.client_width, 144), twips_to_pixels(spec.client_height, 144)}))
        << "not made at 144 dpi";
    with_form(at_96, [&](Form& form) {
        const Layout before = layout_of(form, table);
        move_to_dpi(form.hwnd(), 144);
        EXPECT_EQ(form.dpi(), 144);
        expect_same(layout_of(form, table), made_at_144, "moved to 144 dpi");
        move_to_dpi(form.hwnd(), 96);
        expect_same(layout_of(form, table), before, "back at 96 dpi");
    });
}

template <class W, class... Args>
void with_modal(const Screen& screen, const std::function<void(Form&)>& use, Args&... args) {
    W window(args...);
    window.use_screen(screen);
    window.create();
    window.show();
    pump_for(100);
    use(window);
}

TEST(DpiChange, TheMainWindowLaysOutAsIfMadeAtTheNewResolutionAndBack) {
    expect_follows_the_resolution(kAmigosForm, kAmigosControls, [](const Screen& screen, const auto& use) {
        LoadedWindow loaded(screen);
        use(loaded.window);
    });
}

TEST(DpiChange, TheHelpWindowLaysOutAsIfMadeAtTheNewResolutionAndBack) {
    expect_follows_the_resolution(kAjudaForm, kAjudaControls, [](const Screen& screen, const auto& use) {
        with_modal<AjudaWindow>(screen, use);
    });
}

TEST(DpiChange, TheAboutWindowLaysOutAsIfMadeAtTheNewResolutionAndBack) {
    expect_follows_the_resolution(kSobreAutoForm, kSobreAutoControls,
                                  [](const Screen& screen, const auto& use) {
                                      WindowsDesktop shell;
                                      with_modal<SobreAutoWindow>(screen, use, shell);
                                  });
}

}  // namespace
}  // namespace relinka::testing
