#include "winlib/control_descriptions_win.h"

#include <oleacc.h>

namespace relinka {

LONG role_of(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:  // owner-drawn, which the system's proxies do not all take for a button
            return ROLE_SYSTEM_PUSHBUTTON;
        case ControlKind::Label:
            return ROLE_SYSTEM_STATICTEXT;
        case ControlKind::TextBox:
        case ControlKind::MultiLineText:
            return ROLE_SYSTEM_TEXT;
        case ControlKind::CheckBox:
            return ROLE_SYSTEM_CHECKBUTTON;
        case ControlKind::GroupBox:
            return ROLE_SYSTEM_GROUPING;
        case ControlKind::Image:
        case ControlKind::Indicator:
            return ROLE_SYSTEM_GRAPHIC;
        case ControlKind::Animation:
            return ROLE_SYSTEM_ANIMATION;
        case ControlKind::Line:
            return ROLE_SYSTEM_SEPARATOR;
        case ControlKind::Table:   // the list view's own proxy says what its rows and cells are
        case ControlKind::Banner:  // only the white behind the banner's pictures
            return 0;
    }
    return 0;
}

void describe_controls(HWND form, std::span<const ControlSpec> controls, Annotations& annotations) {
    for (const ControlSpec& design : controls) {
        const HWND control = GetDlgItem(form, design.id);
        if (const LONG role = role_of(design.kind)) annotations.set_role(control, role);
        if (design.accessible_name) annotations.set_name(control, design.accessible_name);
    }
}

void forget_controls(HWND form, std::span<const ControlSpec> controls, Annotations& annotations) {
    for (const ControlSpec& design : controls) annotations.clear(GetDlgItem(form, design.id));
}

}  // namespace relinka
