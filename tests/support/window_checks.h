#pragma once
// Checks the window tests share: where a control stands, what a window or an icon shows, the keyboard.
#include <windows.h>

#include <initializer_list>
#include <span>
#include <vector>

#include "winlib/control_table.h"
#include "winlib/form_win.h"

namespace relinka::testing {

// A control's rectangle in its parent's client area.
RECT client_rect_of(HWND control);
// The row of control `id` in a window's table.
const ControlSpec& design_in(std::span<const ControlSpec> table, int id);
// The font a control draws its text with (zeroed if it cannot be read).
LOGFONTW font_of(HWND control);
// Whether that font is `wanted` (the window's own where it names no face) at `dpi`: one of the faces
// Windows would take for it, its height and its weight.
void expect_font(HWND control, const FontSpec& wanted, int dpi);
// Every control of a form at 96 dpi against its row of the form's table: its place (1 pixel a 15 twips),
// its caption and font where it shows text, a label's caption whole within it (but for the labels
// `captions_wider` lists, drawn so on purpose), a button's face in its colour, and the window's children in
// the table's order, which is the tab order, with those kept beneath the others last. The labels
// `captions_of_their_own` lists are given their captions as the window runs, not by the table.
void expect_controls_as_in_table(const Form& form, std::span<const ControlSpec> table,
                                 std::initializer_list<int> captions_wider = {},
                                 std::initializer_list<int> captions_of_their_own = {});
// A key pressed and released on `focus`, through the program's own message handling.
void press(HWND focus, WPARAM key);
// A pixel of a window after it has painted.
COLORREF pixel(HWND window, int x, int y);
// Every pixel of an area of a device context.
std::vector<COLORREF> pixels_of(HDC dc, int width, int height);
// An icon drawn on white (or `background`): the window's own, or one loaded from the program's resources.
std::vector<COLORREF> drawn(HICON icon, int size, COLORREF background = RGB(255, 255, 255));
std::vector<COLORREF> drawn(int resource, int size);

// A window as the design gives it, in pixels at 96 dpi.
struct ExpectedWindow {
    const wchar_t* caption;
    int client_width, client_height;
    bool resizable, minimize_box, maximize_box;
    int icon;
};
// The window itself: caption, client size, frame, place on the screen, icon, owner.
void expect_window(HWND hwnd, const ExpectedWindow& expected);

// The pixels a window shows in its client area, read back from the screen as they stand (nothing is
// repainted first).
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[y * width + x]; }
};
Capture capture(HWND window);
// What a control draws of itself (WM_PRINTCLIENT), whatever overlaps it or lies off the screen.
Capture printed(HWND control);

// How well a control's caption reads, measured on the pixels drawn: the control is drawn with its
// caption and again without it; the pixels that differ are the caption's. The contrast is that of their
// commonest colour against the commonest colour around them, 1 where nothing of the caption shows.
double caption_contrast(HWND control);

// The system's colours (SetSysColors) for as long as this lives; the ones before come back after.
class Palette {
public:
    struct Entry {
        int element;
        COLORREF colour;
    };
    explicit Palette(std::vector<Entry> entries);
    ~Palette();
    Palette(const Palette&) = delete;
    Palette& operator=(const Palette&) = delete;

private:
    std::vector<Entry> before_;
};

// The colours Windows' "Alto contraste preto" theme sets: white text on black faces and windows, black
// on #1AEBFF for selections, yellow links, green disabled text, white frames.
std::vector<Palette::Entry> high_contrast_black();

}  // namespace relinka::testing
