#include "winlib/painting_win.h"

#include "winlib/unique_win.h"

namespace relinka {

void paint_button(const DRAWITEMSTRUCT& item, const ButtonColours& colours, HICON picture, int picture_size) {
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    UniqueBrush fill(CreateSolidBrush(colours.face));
    FillRect(dc, &box, fill.get());
    DrawEdge(dc, &box, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (colours.framed) {
        const UniqueBrush frame(CreateSolidBrush(colours.caption));
        FrameRect(dc, &box, frame.get());
    }

    const int shift = pressed ? 1 : 0;  // the face moves with the press
    wchar_t caption[128];
    const int length = GetWindowTextW(item.hwndItem, caption, 128);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colours.caption);
    RECT text = box;
    InflateRect(&text, -3, -3);
    OffsetRect(&text, shift, shift);
    if (picture) {
        const int left = (box.left + box.right - picture_size) / 2 + shift;
        const int top = box.top + 4 + shift;
        DrawIconEx(dc, left, top, picture, picture_size, picture_size, 0, nullptr, DI_NORMAL);
        text.top = top + picture_size + 1;
        DrawTextW(dc, caption, length, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    } else {
        DrawTextW(dc, caption, length, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = box;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

void paint_indicator(const DRAWITEMSTRUCT& item, COLORREF fill, COLORREF background, COLORREF frame,
                     int diameter) {
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    const int left = (area.left + area.right - diameter) / 2;
    const int top = (area.top + area.bottom - diameter) / 2;
    UniqueBrush back(CreateSolidBrush(background));
    UniqueBrush solid(CreateSolidBrush(fill));
    {
        const SelectedObject pen(dc, GetStockObject(NULL_PEN));
        const SelectedObject brush(dc, back.get());
        Ellipse(dc, left, top, left + diameter + 1, top + diameter + 1);
    }
    const UniquePen border(CreatePen(PS_SOLID, 1, frame));
    const SelectedObject pen(dc, border.get());
    const SelectedObject brush(dc, solid.get());
    Ellipse(dc, left, top, left + diameter, top + diameter);
}

void paint_bitmap(const DRAWITEMSTRUCT& item, HBITMAP bitmap, COLORREF background) {
    const UniqueBrush fill(CreateSolidBrush(background));
    FillRect(item.hDC, &item.rcItem, fill.get());
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    const UniqueMemoryDc source(CreateCompatibleDC(item.hDC));
    const SelectedObject selected(source.get(), bitmap);
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, info.bmWidth, info.bmHeight, source.get(), 0, 0,
           SRCCOPY);
}

}  // namespace relinka
