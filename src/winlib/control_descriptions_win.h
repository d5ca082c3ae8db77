#pragma once
// What screen readers are told about a form's controls, from its table: each control's role, from its
// kind, and a name where its row gives one because its caption does not say what it is. The rest is what
// Windows' own proxies find (a button's or a check box's name is its caption).
#include <windows.h>

#include <span>

#include "winlib/annotations_win.h"
#include "winlib/control_table.h"

namespace relinka {

// ROLE_SYSTEM_* of a kind of control; 0 where the system's proxy is left to say.
LONG role_of(ControlKind kind);

void describe_controls(HWND form, std::span<const ControlSpec> controls, Annotations& annotations);
// Before the controls go.
void forget_controls(HWND form, std::span<const ControlSpec> controls, Annotations& annotations);

}  // namespace relinka
