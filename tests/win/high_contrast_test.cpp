// The three windows in Windows' default palette and in "Alto contraste preto", high contrast on or off:
// every caption read back from the pixels drawn reads at least 4.5:1 against its fill; in high contrast
// the windows take the system's colours; a switch while they are open repaints them at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "support/loaded_window.h"
#include "support/test_screen.h"
#include "support/window_checks.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"
#include "winlib/contrast.h"

namespace relinka::testing {
namespace {

struct Caption {
    std::string control;
    double contrast;
};

bool shows_caption(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
        case ControlKind::Label:
        case ControlKind::TextBox:
        case ControlKind::MultiLineText:
        case ControlKind::CheckBox:
        case ControlKind::GroupBox:
            return true;
        default:
            return false;
    }
}

void measure(const char* window, const Form& form, std::span<const ControlSpec> table,
             std::vector<Caption>& captions) {
    for (const ControlSpec& design : table) {
        const HWND control = form.control(design.id);
        if (!shows_caption(design.kind) || text_of(control).empty()) continue;
        captions.push_back({std::string(window) + "." + utf8(design.name) + " " + std::to_string(design.id),
                            caption_contrast(control)});
    }
}

// The main window with a station in every slot, and the text to drop one.
void fill_slots(LoadedWindow& loaded) {
    for (int slot = 1; slot <= kSlots; ++slot) {
        loaded.window.SetText(slot, L"PU2AB" + std::to_wstring(slot));
        loaded.window.SetCheck(slot, 1);
    }
    loaded.window.SetText(kDropBox, L"PU2XYZ");
    pump_for(1500);  // a tick: every status label shows
}

template <class W, class... Args>
std::unique_ptr<W> opened(const Screen& screen, Args&... args) {
    auto window = std::make_unique<W>(args...);
    window->use_screen(screen);
    EXPECT_TRUE(window->create());
    window->show();
    pump_for(100);
    return window;
}

std::vector<Caption> every_caption(const Screen& screen) {
    std::vector<Caption> captions;
    {
        LoadedWindow loaded(screen);
        fill_slots(loaded);
        measure("amigos", loaded.window, kAmigosControls, captions);
    }
    measure("Ajuda", *opened<AjudaWindow>(screen), kAjudaControls, captions);
    Shell shell;
    measure("sobre_auto", *opened<SobreAutoWindow>(screen, shell), kSobreAutoControls, captions);
    return captions;
}

void expect_readable(const char* situation, const std::vector<Caption>& captions) {
    ASSERT_EQ(captions.size(), 52u) << "a caption was not measured";
    const Caption* lowest = &captions.front();
    for (const Caption& caption : captions) {
        EXPECT_GE(caption.contrast, kReadableContrast) << situation << ": " << caption.control;
        if (caption.contrast < lowest->contrast) lowest = &caption;
    }
    std::printf("%s: the lowest of %zu captions %.2f:1 (%s)\n", situation, captions.size(), lowest->contrast,
                lowest->control.c_str());
}

TEST(Captions, ReadAtLeastFourAndAHalfToOneInTheDefaultPalette) {
    expect_readable("default palette", every_caption(system_screen()));
}

// A dark palette with high contrast off, as a palette set by hand gives it.
TEST(Captions, ReadAtLeastFourAndAHalfToOneInAHighContrastPaletteAlone) {
    const Palette palette(high_contrast_black());
    expect_readable("high-contrast palette, high contrast off", every_caption(system_screen()));
}

TEST(Captions, ReadAtLeastFourAndAHalfToOneInHighContrast) {
    const Palette palette(high_contrast_black());
    TestScreen screen;
    screen.high_contrast_on = true;
    expect_readable("high contrast", every_caption(screen));
}

COLORREF system(int element) { return GetSysColor(element); }

// Each side of a button's outline, one pixel in, in the caption's colour.
void expect_framed(const Capture& button, const char* name) {
    const int middle_x = button.width / 2, middle_y = button.height / 2;
    EXPECT_EQ(button.at(middle_x, 0), system(COLOR_BTNTEXT)) << name << ", top";
    EXPECT_EQ(button.at(middle_x, button.height - 1), system(COLOR_BTNTEXT)) << name << ", bottom";
    EXPECT_EQ(button.at(0, middle_y), system(COLOR_BTNTEXT)) << name << ", left";
    EXPECT_EQ(button.at(button.width - 1, middle_y), system(COLOR_BTNTEXT)) << name << ", right";
}

// The button's focus rectangle, four pixels in, shows on its face.
void expect_focus_shows(const Capture& button) {
    int shown = 0;
    for (int x = 4; x < button.width - 4; ++x)
        if (contrast_ratio(button.at(x, 4), button.at(2, 2)) >= kReadableContrast) ++shown;
    EXPECT_GT(shown, (button.width - 8) / 3) << "focus rectangle";
}

TEST(HighContrast, TheWindowsDrawInTheSystemsColours) {
    const Palette palette(high_contrast_black());
    TestScreen screen;
    screen.high_contrast_on = true;
    LoadedWindow loaded(screen);
    for (const ControlSpec& design : kAmigosControls) {
        const HWND control = loaded.named(design);
        SCOPED_TRACE(utf8(design.name) + " " + std::to_string(design.id));
        if (design.kind == ControlKind::Button) {
            const Capture button = printed(control);
            EXPECT_EQ(button.at(6, 6), system(COLOR_BTNFACE)) << "face";
            expect_framed(button, "frame");
        }
        if (design.kind == ControlKind::Label || design.kind == ControlKind::Banner)
            EXPECT_EQ(printed(control).at(1, 1), system(COLOR_BTNFACE)) << "fill";
    }
    // The indicator keeps its green, framed in the window's text colour.
    const HWND shape = loaded.window.control(kShape1);
    RECT area;
    GetClientRect(shape, &area);
    const int diameter = std::min(area.right, area.bottom), top = (area.bottom - diameter) / 2;
    const Capture indicator = printed(shape);
    EXPECT_EQ(indicator.at(area.right / 2, area.bottom / 2), RGB(0, 255, 0));
    EXPECT_EQ(indicator.at(area.right / 2, top), system(COLOR_WINDOWTEXT)) << "the indicator's frame";
    ASSERT_EQ(GetFocus(), loaded.window.control(kCommand1));
    expect_focus_shows(printed(loaded.window.control(kCommand1)));
}

// The guide's picture (scripts/docs-pictures): the stations of its other pictures, connected.
TEST(HighContrast, Screenshot) {
    const Palette palette(high_contrast_black());
    TestScreen screen;
    screen.high_contrast_on = true;
    LoadedWindow loaded(screen);
    const wchar_t* stations[] = {L"PY2ABC-R", L"PU1RIO-L", L"PP5SUL-R", L"*SAMPA*"};
    for (int slot = 1; slot <= 4; ++slot) {
        loaded.window.SetText(slot, stations[slot - 1]);
        loaded.window.SetCheck(slot, 1);
        loaded.station.connected.insert(stations[slot - 1]);
    }
    pump_for(1500);  // a tick, and the banner's pictures under way
    save_screenshot(loaded.window.hwnd(), L"amigos_high_contrast.png");
    EXPECT_NE(GetFileAttributesW(L"screenshots\\amigos_high_contrast.png"), INVALID_FILE_ATTRIBUTES);
}

// What the switches below look at, read from the screen as it stands, nothing redrawn on purpose: the
// form's own face, a button's, a status label's fill and the Liga button's caption colour.
struct Shown {
    COLORREF form, button, label;
    bool operator==(const Shown&) const = default;
};

Shown shown_now(LoadedWindow& loaded) {
    pump_for(300);
    const Capture window = capture(loaded.window.hwnd());
    const RECT sobre = client_rect_of(loaded.window.control(kSobre));
    const RECT label = client_rect_of(loaded.window.control(kLabel1));
    return {window.at(2, 2), window.at(sobre.left + 6, sobre.top + 6),
            window.at(label.left + 2, label.top + 2)};
}

TEST(HighContrast, SwitchedWhileTheWindowIsOpenItRepaintsAtOnceAndBack) {
    TestScreen screen;
    LoadedWindow loaded(screen);
    const Shown before = shown_now(loaded);
    EXPECT_EQ(before.button, RGB(255, 255, 0));
    {
        // Windows sets the palette, then says that high contrast has changed.
        const Palette palette(high_contrast_black());
        screen.high_contrast_on = true;
        SendMessageW(loaded.window.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        const Shown switched = shown_now(loaded);
        EXPECT_EQ(switched.form, system(COLOR_BTNFACE));
        EXPECT_EQ(switched.button, system(COLOR_BTNFACE));
        EXPECT_EQ(switched.label, system(COLOR_BTNFACE));
        screen.high_contrast_on = false;
        SendMessageW(loaded.window.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        const Shown palette_alone = shown_now(loaded);
        EXPECT_EQ(palette_alone.form, system(COLOR_BTNFACE));
        EXPECT_EQ(palette_alone.button, RGB(255, 255, 0)) << "its own face again";
    }
    EXPECT_EQ(shown_now(loaded), before) << "back in the default palette";
}

}  // namespace
}  // namespace relinka::testing
