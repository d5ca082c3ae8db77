#pragma once
// A top-level window built from its table: it creates the controls, gives them their fonts and colours
// and paints the owner-drawn ones. Forms add their handlers on top.
#include <windows.h>

#include <span>
#include <vector>

#include "win32/control_table.h"
#include "win32/fonts_win.h"
#include "win32/unique_win.h"
#include "win32/window_win.h"

namespace relinka {

class Annotations;

// Made in two steps: the object, then create(), so that a derived form's handle() sees the window's
// messages from its first (WM_NCCREATE, WM_CREATE) on.
class Form : public Window {
public:
    // The window goes first, then the fonts, brushes and icons it was drawn with.
    ~Form() override;
    // Makes the window, hidden, and its controls; false if Windows would not.
    bool create();
    // Null once the window is gone.
    HWND control(int id) const;
    const ControlSpec* design_of(HWND control) const;
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

private:
    struct Control {
        const ControlSpec* design;
        HWND hwnd;
        ColourValue fill, back;
        UniqueIcon icon;
        UniqueBitmap bitmap;
    };
    void create_control(const ControlSpec& design);
    Control* find(HWND hwnd);
    Control* find(int id);
    const Control* find(int id) const;
    HBRUSH brush(ColourValue colour);
    LRESULT colour_static(HDC dc, HWND hwnd);
    void draw(const DRAWITEMSTRUCT& item);

    const FormSpec& form_;
    std::span<const ControlSpec> designs_;
    int dpi_;
    HWND last_focus_ = nullptr;
    Annotations* annotations_ = nullptr;
    bool described_ = false;
    FontSet fonts_;
    UniqueIcon big_icon_, small_icon_;
    std::vector<Control> controls_;
    struct Brush {
        COLORREF colour;
        UniqueBrush brush;
    };
    std::vector<Brush> brushes_;
};

COLORREF to_colorref(ColourValue colour);

}  // namespace relinka
