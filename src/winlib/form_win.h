#pragma once
// A top-level window built from its table: it creates the controls, gives them their fonts and colours
// and paints the owner-drawn ones, at the resolution of the monitor it is on and again whenever that
// changes, in the system's colours while Windows' high contrast is on. Forms add their handlers on top.
#include <windows.h>

#include <span>
#include <vector>

#include "winlib/control_table.h"
#include "winlib/fonts_win.h"
#include "winlib/screen_win.h"
#include "winlib/unique_win.h"
#include "winlib/window_win.h"

namespace relinka {

class Annotations;

// Made in two steps: the object, then create(), so that a derived form's handle() sees the window's
// messages from its first (WM_NCCREATE, WM_CREATE) on.
class Form : public Window {
public:
    // The window goes first, then the fonts, brushes and icons it was drawn with.
    ~Form() override;
    // The screen asked about high contrast and the window's resolution, given before create(); the
    // system's by default.
    void use_screen(const Screen& screen) { screen_ = &screen; }
    // Makes the window, hidden, and its controls; false if Windows would not.
    [[nodiscard]] bool create();
    // Null once the window is gone.
    HWND control(int id) const;
    int dpi() const { return dpi_; }
    // Shows the window as `show_command` asks (ShowWindow's), with the focus on its first control that
    // takes the focus, given when the window is active: one shown without activation gets it when
    // it is activated.
    void show(int show_command = SW_SHOW);
    // Screen readers are told what each control is (control_descriptions_win.h) through `annotations`
    // once the window has shown, so that none of it comes before the first paint; what they were told
    // goes with the window. Without it, they hear what Windows' own proxies find.
    void describe_with(Annotations& annotations) { annotations_ = &annotations; }
    // Fill and background colours of an indicator; painted fill over background.
    void set_fill_colour(int id, ColourValue colour);
    void set_back_colour(int id, ColourValue colour);
    ColourValue fill_colour(int id) const;
    ColourValue back_colour(int id) const;

protected:
    Form(const FormSpec& form, std::span<const ControlSpec> controls);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;
    // Describes the controls from the table; a form whose controls' names change adds them.
    virtual void describe(Annotations& annotations);
    bool described() const { return described_; }
    const Screen& screen() const { return *screen_; }

private:
    struct Control {
        const ControlSpec* design;
        HWND hwnd;
        ColourValue fill, back;
        UniqueIcon icon;
        UniqueBitmap bitmap;
        bool unstyled = false;  // drawn without the visual style in use (visual_style_win.h)
    };
    // A label's (check box's, group box's, ...) fill, and its text's colour on it.
    struct StaticColours {
        ColourValue fill;
        COLORREF text;
    };
    DWORD style() const;
    SIZE client_size(int dpi) const;
    RECT centred_bounds() const;
    RECT bounds_of(const ControlSpec& design) const;
    void create_control(const ControlSpec& design);
    void load_window_icons();
    void load_picture(Control& control);
    Control* find(HWND hwnd);
    Control* find(int id);
    const Control* find(int id) const;
    HBRUSH brush(ColourValue colour);
    StaticColours static_colours(const Control& control) const;
    LRESULT colour_static(HDC dc, HWND hwnd);
    void keep_captions_readable();
    void draw(const DRAWITEMSTRUCT& item);
    SIZE size_at(int dpi) const;
    void follow_dpi(int dpi, const RECT& suggested);
    void recolour();

    const FormSpec& form_;
    std::span<const ControlSpec> designs_;
    const Screen* screen_ = &system_screen();
    int dpi_ = 96;
    bool high_contrast_ = false;
    HWND last_focus_ = nullptr;
    Annotations* annotations_ = nullptr;
    bool described_ = false;
    FontSet fonts_{96};
    UniqueIcon big_icon_, small_icon_;
    std::vector<Control> controls_;
    struct Brush {
        ColourValue colour;
        UniqueBrush brush;
    };
    std::vector<Brush> brushes_;  // of the tables' own colours
};

COLORREF to_colorref(ColourValue colour);

}  // namespace relinka
