#include "winlib/visual_style_win.h"

#include <uxtheme.h>
#include <vssym32.h>

#include "winlib/contrast.h"
#include "winlib/system_library_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

// Where no style is in use, the library of styles is not loaded at all; it is never loaded here.
template <class Function>
Function* visual_styles(const char* name) {
    return function_of<Function>(GetModuleHandleW(L"uxtheme.dll"), name);
}

using OpenThemeData = HTHEME WINAPI(HWND, LPCWSTR);
using GetThemeColor = HRESULT WINAPI(HTHEME, int, int, int, COLORREF*);
using CloseThemeData = HRESULT WINAPI(HTHEME);
using SetWindowTheme = HRESULT WINAPI(HWND, LPCWSTR, LPCWSTR);

}  // namespace

bool style_caption_reads(int part, COLORREF face) {
    auto* const open = visual_styles<OpenThemeData>("OpenThemeData");
    auto* const colour_of = visual_styles<GetThemeColor>("GetThemeColor");
    auto* const close = visual_styles<CloseThemeData>("CloseThemeData");
    if (!open || !colour_of || !close) return true;
    const HTHEME style = open(nullptr, L"BUTTON");
    if (!style) return true;
    COLORREF caption = 0;
    const bool coloured =
        SUCCEEDED(colour_of(style, part, 1 /* the part's normal state */, TMT_TEXTCOLOR, &caption));
    close(style);
    return !coloured || contrast_ratio(caption, face) >= kReadableContrast;
}

void use_visual_style(HWND control, bool styled) {
    auto* const set = visual_styles<SetWindowTheme>("SetWindowTheme");
    if (!set) return;
    // A blank name matches no style (an empty one is taken as none); none at all gives the control the
    // style in use back.
    traced("SetWindowTheme, the control keeps its style",
           styled ? set(control, nullptr, nullptr) : set(control, L" ", L" "));
}

}  // namespace relinka
