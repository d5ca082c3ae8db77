#pragma once
// A window's controls as data: kind, caption, place in twips, font, colours, tab order. Each window
// walks its table to create its controls; the tests walk the same table to check them.
#include <cstdint>

namespace relinka {

enum class ControlKind {
    Button,   // owner-drawn: its own background colour, a picture above the caption
    Label,    // static text
    TextBox,  // single-line edit
    MultiLineText,
    CheckBox,
    GroupBox,
    Banner,     // white area that other controls sit on
    Image,      // bitmap at its own size
    Animation,  // animated GIF
    Indicator,  // the running indicator: a circle in its area
    Line,       // horizontal rule from (left, top) across `width`
    Table,      // rows of cells under column headings (a list view), which its form hands out on demand
};

enum class Align { Left, Centre };

// 0x00BBGGRR, or one of the system's colours (0x80000000 + its index); kDefaultColour lets the system
// choose as it does for that kind of control.
using ColourValue = std::uint32_t;
inline constexpr ColourValue kDefaultColour = 0xFFFFFFFF;
inline constexpr ColourValue kSystemDesktopColour = 0x80000001;
inline constexpr ColourValue kSystemActiveTitleColour = 0x80000002;
inline constexpr ColourValue kSystemButtonFaceColour = 0x8000000F;

constexpr ColourValue rgb(unsigned red, unsigned green, unsigned blue) {
    return red | green << 8 | blue << 16;
}

struct FontSpec {
    const wchar_t* face;  // null: the window's default font
    int centipoints;      // 825 = 8.25 pt
    bool bold;
};
inline constexpr FontSpec kWindowFont{nullptr, 0, false};
// The bold faces the forms name, by size in hundredths of a point.
constexpr FontSpec bold_sans(int centipoints) { return {L"MS Sans Serif", centipoints, true}; }
constexpr FontSpec bold_serif(int centipoints) { return {L"Times New Roman", centipoints, true}; }

struct ControlSpec {
    const wchar_t* name;  // the name the handlers know it by
    int id;
    ControlKind kind;
    const wchar_t* caption = L"";
    int left, top, width, height;  // twips, from the client area's top-left corner
    FontSpec font = kWindowFont;   // the window's own
    ColourValue fore = kDefaultColour;
    ColourValue back = kDefaultColour;
    Align align = Align::Left;
    bool border = false;
    int tab_index = -1;  // -1: none
    int picture = 0;     // resource id of its icon, bitmap or animation; 0: none
    // Kept beneath the controls it overlaps: group boxes, the banner, a title whose box reaches into a
    // group box's caption.
    bool beneath = false;
    // What a screen reader calls it where its caption does not say (control_descriptions_win.h).
    const wchar_t* accessible_name = nullptr;
};

// The window itself.
struct FormSpec {
    const wchar_t* caption;
    int client_width, client_height;  // twips
    bool resizable;
    bool minimize_box, maximize_box;
    int icon;  // resource id
};

}  // namespace relinka
