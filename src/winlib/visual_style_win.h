#pragma once
// A visual style draws the captions of check boxes and group boxes in a colour of its own, whatever colour
// the form gives them. Where a palette leaves that colour unreadable on the control's face (a dark palette
// under a light style), the control goes without its style and is drawn in the form's colours.
#include <windows.h>

namespace relinka {

// Whether the style in use draws `part` of its "BUTTON" class (BP_CHECKBOX, BP_GROUPBOX) with a caption
// that reads at least 4.5:1 on `face`; true where no style is in use or it gives the part no colour.
bool style_caption_reads(int part, COLORREF face);
// Draws `control` with the style in use, or without any.
void use_visual_style(HWND control, bool styled);

}  // namespace relinka
