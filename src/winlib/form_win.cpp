#include "winlib/form_win.h"

#include <commctrl.h>
#include <vsstyle.h>

#include <algorithm>

#include "winlib/animation_win.h"
#include "winlib/contrast.h"
#include "winlib/control_descriptions_win.h"
#include "winlib/painting_win.h"
#include "winlib/private_messages_win.h"
#include "winlib/twips_win.h"
#include "winlib/visual_style_win.h"

namespace relinka {

namespace {

struct Creation {
    const wchar_t* window_class;
    DWORD style;
    DWORD extended_style;
};

Creation creation_of(const ControlSpec& design) {
    switch (design.kind) {
        case ControlKind::Button:
            return {L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0};
        case ControlKind::Label:
            return {L"STATIC",
                    DWORD((design.align == Align::Centre ? SS_CENTER : SS_LEFT) | SS_NOPREFIX |
                          (design.border ? WS_BORDER : 0)),
                    0};
        case ControlKind::TextBox:
            return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::MultiLineText:  // no scroll bars: the text wraps, and scrolls as the caret moves
            return {L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::CheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
        case ControlKind::GroupBox:
            return {L"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::Banner:
        case ControlKind::Line:
            return {L"STATIC", SS_LEFT, 0};
        case ControlKind::Image:
        case ControlKind::Indicator:
            return {L"STATIC", SS_OWNERDRAW, 0};
        case ControlKind::Animation:
            return {kAnimationClass, 0, 0};
        case ControlKind::Table:  // comctl32's, as the manifest's common controls 6 give it
            return {WC_LISTVIEWW,
                    LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER |
                        WS_TABSTOP,
                    WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", 0, 0};
}

HICON load_icon(int resource, int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

// A button's picture: 32 pixels at 96 dpi.
int button_picture_size(int dpi) { return MulDiv(32, dpi, 96); }

constexpr ColourValue system_colour(int index) { return 0x80000000 | index; }

}  // namespace

COLORREF to_colorref(ColourValue colour) {
    return (colour & 0x80000000) ? GetSysColor(static_cast<int>(colour & 0xFF))
                                 : static_cast<COLORREF>(colour);
}

Form::Form(const FormSpec& form, std::span<const ControlSpec> controls) : form_(form), designs_(controls) {}

Form::~Form() {
    // destroy() runs none of this object's handlers: what screen readers were told of the controls
    // is taken back here, as WM_DESTROY does for a window closed while the object lives.
    if (described_ && hwnd()) forget_controls(hwnd(), designs_, *annotations_);
    destroy();
}

DWORD Form::style() const {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (form_.resizable) style |= WS_THICKFRAME;
    if (form_.minimize_box) style |= WS_MINIMIZEBOX;
    if (form_.maximize_box) style |= WS_MAXIMIZEBOX;
    return style;
}

SIZE Form::client_size(int dpi) const {
    return {twips_to_pixels(form_.client_width, dpi), twips_to_pixels(form_.client_height, dpi)};
}

RECT Form::centred_bounds() const {
    const SIZE size = screen_->window_size_for(client_size(dpi_), style(), dpi_);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    return {left, top, left + size.cx, top + size.cy};
}

RECT Form::bounds_of(const ControlSpec& design) const {
    const int left = twips_to_pixels(design.left, dpi_), top = twips_to_pixels(design.top, dpi_);
    const int height = design.kind == ControlKind::Line ? 1 : twips_to_pixels(design.height, dpi_);
    return {left, top, left + twips_to_pixels(design.width, dpi_), top + height};
}

bool Form::create() {
    high_contrast_ = screen_->high_contrast();
    // Made at the system's resolution, then laid out at that of the monitor it is on, which may differ:
    // Windows 10 on gives each monitor its own scale, and lets the operator change it without signing out.
    dpi_ = screen_dpi();
    if (!Window::create(style(), centred_bounds(), form_.caption)) return false;
    if (const int dpi = screen_->dpi_of(hwnd()); dpi != dpi_) {
        dpi_ = dpi;
        const RECT bounds = centred_bounds();
        SetWindowPos(hwnd(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                     bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    fonts_ = FontSet(dpi_);
    load_window_icons();

    register_animation_class();
    controls_.reserve(designs_.size());
    for (const ControlSpec& design : designs_) create_control(design);
    // Creation order is the tab order. Controls marked `beneath` go under the others, the first of them
    // lowest; none of them takes the focus, so the tab order stays.
    for (auto control = controls_.rbegin(); control != controls_.rend(); ++control)
        if (control->design->beneath)
            SetWindowPos(control->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    keep_captions_readable();
    return true;
}

void Form::create_control(const ControlSpec& design) {
    const Creation how = creation_of(design);
    const RECT bounds = bounds_of(design);
    HWND hwnd =
        CreateWindowExW(how.extended_style, how.window_class, design.caption,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | how.style, bounds.left, bounds.top,
                        bounds.right - bounds.left, bounds.bottom - bounds.top, this->hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), GetModuleHandleW(nullptr),
                        reinterpret_cast<void*>(static_cast<INT_PTR>(design.picture)));
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.get(design.font)), FALSE);
    Control control{&design, hwnd, design.fore, design.back, {}, {}};
    load_picture(control);
    if (design.kind == ControlKind::Image)  // drawn at its own size at every resolution
        control.bitmap.reset(
            static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(design.picture),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    controls_.push_back(std::move(control));
}

void Form::load_window_icons() {
    UniqueIcon big(load_icon(form_.icon, system_metric_for(SM_CXICON, dpi_)));
    UniqueIcon small(load_icon(form_.icon, system_metric_for(SM_CXSMICON, dpi_)));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    // The ones it had go once it has these.
    big_icon_ = std::move(big);
    small_icon_ = std::move(small);
}

void Form::load_picture(Control& control) {
    if (control.design->kind == ControlKind::Button && control.design->picture)
        control.icon.reset(load_icon(control.design->picture, button_picture_size(dpi_)));
}

Form::Control* Form::find(HWND hwnd) {
    if (!hwnd) return nullptr;
    for (Control& control : controls_)
        if (control.hwnd == hwnd) return &control;
    return nullptr;
}

Form::Control* Form::find(int id) {
    for (Control& control : controls_)
        if (control.design->id == id) return &control;
    return nullptr;
}

const Form::Control* Form::find(int id) const { return const_cast<Form*>(this)->find(id); }

HWND Form::control(int id) const {
    const Control* control = find(id);
    return control ? control->hwnd : nullptr;
}

void Form::show(int show_command) {
    const auto first = std::find_if(controls_.begin(), controls_.end(), [](const Control& control) {
        return GetWindowLongW(control.hwnd, GWL_STYLE) & WS_TABSTOP;
    });
    // Not SetFocus, which would activate a window shown without activation (minimized by its shortcut):
    // WM_ACTIVATE gives the focus, now or when the window is activated.
    if (first != controls_.end()) last_focus_ = first->hwnd;
    ShowWindow(hwnd(), show_command);
    UpdateWindow(hwnd());
    if (annotations_) PostMessageW(hwnd(), kDescribeControls, 0, 0);
}

void Form::describe(Annotations& annotations) { describe_controls(hwnd(), designs_, annotations); }

void Form::set_fill_colour(int id, ColourValue colour) {
    if (Control* control = find(id)) {
        control->fill = colour;
        InvalidateRect(control->hwnd, nullptr, FALSE);
    }
}

void Form::set_back_colour(int id, ColourValue colour) {
    if (Control* control = find(id)) {
        control->back = colour;
        InvalidateRect(control->hwnd, nullptr, FALSE);
    }
}

ColourValue Form::fill_colour(int id) const { return find(id)->fill; }
ColourValue Form::back_colour(int id) const { return find(id)->back; }

HBRUSH Form::brush(ColourValue colour) {
    // The system's are asked for at each use: a change of palette brings new ones.
    if (colour & 0x80000000) return GetSysColorBrush(static_cast<int>(colour & 0xFF));
    for (const Brush& made : brushes_)
        if (made.colour == colour) return made.brush.get();
    brushes_.push_back({colour, UniqueBrush(CreateSolidBrush(colour))});
    return brushes_.back().brush.get();
}

// Labels, check boxes, group boxes, the banner and what stands on it (an animation asks for the colour
// around its picture). Their text takes the system's colour where the table gives none; in high contrast
// all of them take the window's colours.
Form::StaticColours Form::static_colours(const Control& control) const {
    const bool own = !high_contrast_;
    const ColourValue fill =
        own && control.back != kDefaultColour ? control.back : system_colour(COLOR_BTNFACE);
    const ColourValue text = own && control.design->fore != kDefaultColour ? control.design->fore
                                                                           : system_colour(COLOR_WINDOWTEXT);
    return {fill, readable_on(to_colorref(fill), to_colorref(text))};
}

LRESULT Form::colour_static(HDC dc, HWND hwnd) {
    const Control* control = find(hwnd);
    if (!control)
        return DefWindowProcW(this->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(hwnd));
    if (control->design->kind == ControlKind::Line)
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOWTEXT));
    const StaticColours colours = static_colours(*control);
    SetTextColor(dc, colours.text);
    SetBkColor(dc, to_colorref(colours.fill));
    return reinterpret_cast<LRESULT>(brush(colours.fill));
}

void Form::keep_captions_readable() {
    for (Control& control : controls_) {
        const ControlKind kind = control.design->kind;
        if (kind != ControlKind::CheckBox && kind != ControlKind::GroupBox) continue;
        const bool styled = style_caption_reads(kind == ControlKind::GroupBox ? BP_GROUPBOX : BP_CHECKBOX,
                                                to_colorref(static_colours(control).fill));
        if (styled != control.unstyled) continue;
        control.unstyled = !styled;
        use_visual_style(control.hwnd, styled);
    }
}

void Form::draw(const DRAWITEMSTRUCT& item) {
    const Control* control = find(item.hwndItem);
    if (!control) return;
    switch (control->design->kind) {
        case ControlKind::Button: {
            // In high contrast, the system's button colours and a frame round the face.
            const COLORREF face = high_contrast_ ? GetSysColor(COLOR_BTNFACE) : to_colorref(control->back);
            paint_button(item, {face, readable_on(face, GetSysColor(COLOR_BTNTEXT)), high_contrast_},
                         control->icon.get(), button_picture_size(dpi_));
            break;
        }
        case ControlKind::Indicator: {
            // Red and green whatever the palette (a screen reader hears which); the frame shows in high
            // contrast.
            const RECT& area = item.rcItem;
            const int diameter = std::min(area.right - area.left, area.bottom - area.top);
            paint_indicator(item, to_colorref(control->fill), to_colorref(control->back),
                            high_contrast_ ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0), diameter);
            break;
        }
        case ControlKind::Image:
            if (control->bitmap)
                paint_bitmap(item, control->bitmap.get(),
                             high_contrast_ ? GetSysColor(COLOR_BTNFACE) : to_colorref(control->back));
            break;
        default:
            break;
    }
}

// What Windows asks before it moves the window to a monitor at `dpi`: a side at the table's size keeps
// the table's size there, as a form made at that resolution has it; a side the operator changed scales.
SIZE Form::size_at(int dpi) const {
    RECT client;
    GetClientRect(hwnd(), &client);
    const SIZE table = client_size(dpi_), there = client_size(dpi);
    const SIZE scaled{client.right == table.cx ? there.cx : MulDiv(client.right, dpi, dpi_),
                      client.bottom == table.cy ? there.cy : MulDiv(client.bottom, dpi, dpi_)};
    return screen_->window_size_for(scaled, style(), dpi);
}

// The window takes the rectangle Windows suggests, and everything in it is laid out again from the
// table at the new resolution, as a form made there would be: places, fonts, pictures. (An animation
// makes its frames again at its new size.)
void Form::follow_dpi(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    FontSet fonts(dpi_);
    std::swap(fonts_, fonts);  // the old fonts go once every control has its new one
    SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    load_window_icons();
    for (Control& control : controls_) {
        const RECT bounds = bounds_of(*control.design);
        SetWindowPos(control.hwnd, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                     bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.get(control.design->font)),
                     FALSE);
        load_picture(control);
    }
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// High contrast switched, or the palette or the visual style changed: every control is painted again in
// the new colours. The controls are told first, for what they keep of the old ones (an animation, its
// frames).
void Form::recolour() {
    high_contrast_ = screen_->high_contrast();
    keep_captions_readable();
    for (const Control& control : controls_) SendMessageW(control.hwnd, WM_SYSCOLORCHANGE, 0, 0);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

LRESULT Form::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case kDescribeControls:
            if (!described_) {
                described_ = true;
                describe(*annotations_);
            }
            return 0;
        case WM_DESTROY:  // the controls are still there
            if (described_) forget_controls(hwnd(), designs_, *annotations_);
            break;
        case WM_WINDOWPOSCHANGED:
            // Shown, hidden, minimized or restored: nobody sees a minimized or hidden window's pictures.
            for (const Control& control : controls_)
                if (control.design->kind == ControlKind::Animation) follow_window_state(control.hwnd);
            break;
        case WM_CTLCOLORSTATIC:
            return colour_static(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED:
            recolour();
            break;
        case WM_SETTINGCHANGE:
            if (screen_->high_contrast() != high_contrast_) recolour();
            break;
        case WM_GETDPISCALEDSIZE:
            if (IsIconic(hwnd())) break;  // Windows scales it as it would any window
            *reinterpret_cast<SIZE*>(lparam) = size_at(static_cast<int>(wparam));
            return TRUE;
        case WM_DPICHANGED:
            follow_dpi(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_DRAWITEM:
            draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus gets it back when the form is active
            // again (after a message box, say).
            if (LOWORD(wparam) == WA_INACTIVE) {
                const HWND focused = GetFocus();
                if (focused && IsChild(hwnd(), focused)) last_focus_ = focused;
            } else if (last_focus_ && IsWindow(last_focus_)) {
                SetFocus(last_focus_);
                return 0;
            }
            break;
        case DM_GETDEFID: {
            // Enter presses the focused button, as in the program's other forms.
            const Control* focused = find(GetFocus());
            if (focused && focused->design->kind == ControlKind::Button)
                return MAKELRESULT(focused->design->id, DC_HASDEFID);
            return 0;
        }
        case WM_NCDESTROY:
            // Its controls went with it.
            for (Control& control : controls_) control.hwnd = nullptr;
            last_focus_ = nullptr;
            break;
        case WM_NEXTDLGCTL: {
            // A multi-line text box keeps Tab for itself and asks its window to move the focus on, as
            // it would ask a dialog; without this the focus would stay stuck in the box.
            const HWND next = LOWORD(lparam) ? reinterpret_cast<HWND>(wparam)
                                             : GetNextDlgTabItem(hwnd(), GetFocus(), wparam != 0);
            if (next) {
                if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                    SendMessageW(next, EM_SETSEL, 0, -1);
                SetFocus(next);
            }
            return 0;
        }
    }
    return Window::handle(message, wparam, lparam);
}

}  // namespace relinka
