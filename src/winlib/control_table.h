#pragma once
// A window's controls as data: kind, caption, place in twips, font, colours, in their tab order. Each
// window walks its table to create its controls; the tests walk the same table to check them.
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

// Where a control stands: twips from the client area's top-left corner.
struct Twips {
    int left, top, width, height;
};

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
    int picture = 0;  // resource id of its icon, bitmap or animation; 0: none
    // Kept beneath the controls it overlaps: group boxes, the banner, a title whose box reaches into a
    // group box's caption.
    bool beneath = false;
    // What a screen reader calls it where its caption does not say (control_descriptions_win.h).
    const wchar_t* accessible_name = nullptr;

    // What a row of a table adds to what its kind of control has.
    constexpr ControlSpec centred() const { return with(&ControlSpec::align, Align::Centre); }
    constexpr ControlSpec bordered() const { return with(&ControlSpec::border, true); }
    constexpr ControlSpec on(ColourValue colour) const { return with(&ControlSpec::back, colour); }
    constexpr ControlSpec written_in(ColourValue colour) const { return with(&ControlSpec::fore, colour); }
    constexpr ControlSpec showing(int resource) const { return with(&ControlSpec::picture, resource); }
    constexpr ControlSpec under_the_others() const { return with(&ControlSpec::beneath, true); }
    constexpr ControlSpec read_as(const wchar_t* name) const {
        return with(&ControlSpec::accessible_name, name);
    }

private:
    template <class Field, class Value>
    constexpr ControlSpec with(Field ControlSpec::*field, Value value) const {
        ControlSpec changed = *this;
        changed.*field = value;
        return changed;
    }
};

// A control of `kind` at `at`, the rest as that kind has it unless a row says otherwise.
constexpr ControlSpec placed(ControlKind kind, const wchar_t* name, int id, const wchar_t* caption, Twips at,
                             FontSpec font = kWindowFont) {
    return {name, id, kind, caption, at.left, at.top, at.width, at.height, font};
}

// One builder per kind of control, so that each row of a window's table is one line: name, id, caption,
// place, then what that kind has. A window's table lists its controls in their tab order, which is the
// order they are made in.
constexpr ControlSpec button(const wchar_t* name, int id, const wchar_t* caption, Twips at, FontSpec font,
                             ColourValue back, int picture = 0) {
    return placed(ControlKind::Button, name, id, caption, at, font).on(back).showing(picture);
}
constexpr ControlSpec label(const wchar_t* name, int id, const wchar_t* caption, Twips at,
                            FontSpec font = kWindowFont, ColourValue text = kDefaultColour) {
    return placed(ControlKind::Label, name, id, caption, at, font).written_in(text);
}
constexpr ControlSpec text_box(const wchar_t* name, int id, Twips at, FontSpec font) {
    return placed(ControlKind::TextBox, name, id, L"", at, font);
}
constexpr ControlSpec multi_line_text(const wchar_t* name, int id, const wchar_t* text, Twips at,
                                      FontSpec font) {
    return placed(ControlKind::MultiLineText, name, id, text, at, font);
}
constexpr ControlSpec check_box(const wchar_t* name, int id, const wchar_t* caption, Twips at) {
    return placed(ControlKind::CheckBox, name, id, caption, at);
}
// Beneath the controls drawn over it.
constexpr ControlSpec group_box(const wchar_t* name, int id, const wchar_t* caption, Twips at) {
    return placed(ControlKind::GroupBox, name, id, caption, at).under_the_others();
}
constexpr ControlSpec banner(const wchar_t* name, int id, Twips at, ColourValue back) {
    return placed(ControlKind::Banner, name, id, L"", at).on(back).under_the_others();
}
constexpr ControlSpec image(const wchar_t* name, int id, Twips at, int picture) {
    return placed(ControlKind::Image, name, id, L"", at).showing(picture);
}
constexpr ControlSpec animation(const wchar_t* name, int id, Twips at, int picture) {
    return placed(ControlKind::Animation, name, id, L"", at).showing(picture);
}
// Filled with `colour` over a background of `colour`, until told otherwise.
constexpr ControlSpec indicator(const wchar_t* name, int id, Twips at, ColourValue colour) {
    return placed(ControlKind::Indicator, name, id, L"", at).written_in(colour).on(colour);
}
// Rows of cells, named for screen readers by `accessible_name` (a list view's own caption is not shown).
constexpr ControlSpec table(const wchar_t* name, int id, Twips at, const wchar_t* accessible_name) {
    return placed(ControlKind::Table, name, id, L"", at).read_as(accessible_name);
}
// A horizontal rule from (left, top) across `width`.
constexpr ControlSpec line(const wchar_t* name, int id, int left, int top, int width) {
    return placed(ControlKind::Line, name, id, L"", {left, top, width, 0});
}

// The window itself.
struct FormSpec {
    const wchar_t* caption;
    int client_width, client_height;  // twips
    bool resizable;
    bool minimize_box, maximize_box;
    int icon;  // resource id
};

}  // namespace relinka
