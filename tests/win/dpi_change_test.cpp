// The three windows told that their monitor's resolution changed, as Windows tells a window moved to a
// monitor at another scale: each lays out again exactly as the same window made at that resolution, and
// back at 96 dpi exactly as it was.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "support/loaded_window.h"
#include "support/test_screen.h"
#include "support/window_checks.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"
#include "winlib/twips_win.h"

namespace relinka::testing {
namespace {

std::string size_text(SIZE size) { return std::to_string(size.cx) + "x" + std::to_string(size.cy); }
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

// Everything of a window that its resolution decides: a line for the window and one for each control,
// and what its owner-drawn controls paint.
struct Layout {
    std::vector<std::string> lines;
    std::vector<std::vector<COLORREF>> drawn;
};

Layout layout_of(const Form& form, std::span<const ControlSpec> table) {
    Layout layout;
    RECT window, client;
    GetWindowRect(form.hwnd(), &window);
    GetClientRect(form.hwnd(), &client);
    layout.lines.push_back("window " + size_text(size_of(window)) + ", client " + size_text(size_of(client)) +
                           ", icons " + size_text(icon_size(form.hwnd(), ICON_BIG)) + " and " +
                           size_text(icon_size(form.hwnd(), ICON_SMALL)));
    for (const ControlSpec& design : table) {
        const HWND control = form.control(design.id);
        const RECT rect = client_rect_of(control);
        const LOGFONTW font = font_of(control);
        layout.lines.push_back(utf8(design.name) + " " + std::to_string(design.id) + " at " +
                               std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
                               size_text(size_of(rect)) + ", font " + utf8(font.lfFaceName) + " " +
                               std::to_string(font.lfHeight) + " " + std::to_string(font.lfWeight));
        if (design.kind == ControlKind::Button || design.kind == ControlKind::Indicator ||
            design.kind == ControlKind::Image)
            layout.drawn.push_back(printed(control).pixels);
    }
    return layout;
}

void expect_same(const Layout& actual, const Layout& expected, const char* when) {
    EXPECT_EQ(actual.lines, expected.lines) << when;
    EXPECT_TRUE(actual.drawn == expected.drawn) << when << ": owner-drawn controls painted otherwise";
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
void expect_follows_the_resolution(const FormSpec& window_design, std::span<const ControlSpec> table,
                                   const WithForm& with_form) {
    TestScreen at_144, at_96;
    at_144.dpi = 144;
    at_96.dpi = 96;
    Layout made_at_144;
    with_form(at_144, [&](Form& form) {
        RECT client;
        GetClientRect(form.hwnd(), &client);
        ASSERT_EQ(size_text(size_of(client)), size_text({twips_to_pixels(window_design.client_width, 144),
                                                         twips_to_pixels(window_design.client_height, 144)}))
            << "not made at 144 dpi";
        made_at_144 = layout_of(form, table);
    });
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
    ASSERT_TRUE(window.create());
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
                                      Shell shell;
                                      with_modal<SobreAutoWindow>(screen, use, shell);
                                  });
}

}  // namespace
}  // namespace relinka::testing
