#include "win32/form_win.h"

#include <algorithm>

#include "win32/animation_win.h"
#include "win32/control_descriptions_win.h"
#include "win32/painting_win.h"
#include "win32/twips_win.h"

namespace relinka {

namespace {

constexpr UINT kDescribeControls = WM_APP + 32;  // posted by show()

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
    }
    return {L"STATIC", 0, 0};
}

HICON load_icon(int resource, int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

}  // namespace

COLORREF to_colorref(ColourValue colour) {
    return (colour & 0x80000000) ? GetSysColor(static_cast<int>(colour & 0xFF))
                                 : static_cast<COLORREF>(colour);
}

Form::Form(const FormSpec& form, std::span<const ControlSpec> controls)
    : form_(form), designs_(controls), dpi_(screen_dpi()), fonts_(dpi_) {}

Form::~Form() {
    // destroy() runs none of this object's handlers: what screen readers were told of the controls
    // is taken back here, as WM_DESTROY does for a window closed while the object lives.
    if (described_ && hwnd()) forget_controls(hwnd(), designs_, *annotations_);
    destroy();
}

bool Form::create() {
    const FormSpec& form = form_;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    if (form.resizable) style |= WS_THICKFRAME;
    if (form.minimize_box) style |= WS_MINIMIZEBOX;
    if (form.maximize_box) style |= WS_MAXIMIZEBOX;
    RECT bounds{0, 0, twips_to_pixels(form.client_width, dpi_), twips_to_pixels(form.client_height, dpi_)};
    AdjustWindowRectEx(&bounds, style, FALSE, 0);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (!Window::create(style, RECT{left, top, left + width, top + height}, form.caption)) return false;

    big_icon_.reset(load_icon(form.icon, GetSystemMetrics(SM_CXICON)));
    small_icon_.reset(load_icon(form.icon, GetSystemMetrics(SM_CXSMICON)));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));

    register_animation_class();
    controls_.reserve(designs_.size());
    for (const ControlSpec& design : designs_) create_control(design);
    // Creation order is the tab order. Controls marked `beneath` go under the others, the first of them
    // lowest; none of them takes the focus, so the tab order stays.
    for (auto control = controls_.rbegin(); control != controls_.rend(); ++control)
        if (control->design->beneath)
            SetWindowPos(control->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void Form::create_control(const ControlSpec& design) {
    const Creation how = creation_of(design);
    const int height = design.kind == ControlKind::Line ? 1 : twips_to_pixels(design.height, dpi_);
    HWND hwnd = CreateWindowExW(
        how.extended_style, how.window_class, design.caption,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | how.style, twips_to_pixels(design.left, dpi_),
        twips_to_pixels(design.top, dpi_), twips_to_pixels(design.width, dpi_), height, this->hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), GetModuleHandleW(nullptr),
        reinterpret_cast<void*>(static_cast<INT_PTR>(design.picture)));
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.get(design.font)), FALSE);
    Control control{&design, hwnd, design.fore, design.back, {}, {}};
    if (design.kind == ControlKind::Button && design.picture)
        control.icon.reset(load_icon(design.picture, MulDiv(32, dpi_, 96)));
    if (design.kind == ControlKind::Image)
        control.bitmap.reset(
            static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(design.picture),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    controls_.push_back(std::move(control));
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

const ControlSpec* Form::design_of(HWND hwnd) const {
    const Control* control = const_cast<Form*>(this)->find(hwnd);
    return control ? control->design : nullptr;
}

void Form::show() {
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    const auto first = std::find_if(controls_.begin(), controls_.end(), [](const Control& control) {
        return GetWindowLongW(control.hwnd, GWL_STYLE) & WS_TABSTOP;
    });
    if (first != controls_.end()) SetFocus(first->hwnd);
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
    const COLORREF wanted = to_colorref(colour);
    for (const Brush& made : brushes_)
        if (made.colour == wanted) return made.brush.get();
    brushes_.push_back({wanted, UniqueBrush(CreateSolidBrush(wanted))});
    return brushes_.back().brush.get();
}

LRESULT Form::colour_static(HDC dc, HWND hwnd) {
    const Control* control = find(hwnd);
    if (!control)
        return DefWindowProcW(this->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(hwnd));
    if (control->design->kind == ControlKind::Line)
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOWTEXT));
    if (control->design->fore != kDefaultColour) SetTextColor(dc, to_colorref(control->design->fore));
    const ColourValue back = control->back != kDefaultColour ? control->back : 0x80000000 | COLOR_BTNFACE;
    SetBkColor(dc, to_colorref(back));
    return reinterpret_cast<LRESULT>(brush(back));
}

void Form::draw(const DRAWITEMSTRUCT& item) {
    const Control* control = find(item.hwndItem);
    if (!control) return;
    switch (control->design->kind) {
        case ControlKind::Button:
            paint_button(item, to_colorref(control->back), control->icon.get(), MulDiv(32, dpi_, 96));
            break;
        case ControlKind::Indicator: {
            const RECT& area = item.rcItem;
            const int diameter = std::min(area.right - area.left, area.bottom - area.top);
            paint_indicator(item, to_colorref(control->fill), to_colorref(control->back), diameter);
            break;
        }
        case ControlKind::Image:
            if (control->bitmap) paint_bitmap(item, control->bitmap.get(), to_colorref(control->back));
            break;
        default:
            break;
    }
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
