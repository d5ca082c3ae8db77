#pragma once
// How the owner-drawn controls look.
#include <windows.h>

namespace relinka {

// The colours of a graphical button: its face, its caption, and whether a frame in the caption's colour
// goes round it (in high contrast, where the edge's shades may be the face's own).
struct ButtonColours {
    COLORREF face, caption;
    bool framed;
};

// A graphical button: its own face, a raised (or, pressed, sunken) edge, the picture centred near the top
// and the caption under it; without a picture the caption is centred.
void paint_button(const DRAWITEMSTRUCT& item, const ButtonColours& colours, HICON picture, int picture_size);

// A circle `diameter` pixels across, centred in the item's rectangle, with a thin border in `frame`: the
// background colour first, the solid fill over it.
void paint_indicator(const DRAWITEMSTRUCT& item, COLORREF fill, COLORREF background, COLORREF frame,
                     int diameter);

// A bitmap at its own size, from the top-left corner, on the item's whole area filled with `background`
// first: above 96 dpi the area is larger than the bitmap.
void paint_bitmap(const DRAWITEMSTRUCT& item, HBITMAP bitmap, COLORREF background);

}  // namespace relinka
