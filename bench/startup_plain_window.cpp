// The second floor relinka.exe's start-up is held against: its main window made of plain system
// controls. The window at its size, and every control of its table at its place, as a plain push button,
// edit box, label, group box or check box with the font the table names, handed to the font mapper as
// it is; the indicator a plain label painted green, so the bench sees the first paint. Like the first
// floor it creates EchoLink's object before its window. Nothing of relinka.exe's own: no owner-drawing,
// no pictures, no animations, no manifest.
// Built twice: startup_plain_window.exe without a manifest, and startup_plain_window_manifest.exe with
// relinka.exe's (Common Controls 6 above all). Each option adds one of relinka.exe's own
// pieces, so that the bench can time it alone:
//   fonts      the font faces looked up as relinka.exe looks them up
//   icons      the window's icons and the buttons' pictures, loaded as relinka.exe loads them
//   ownerdraw  the buttons and the indicator drawn as relinka.exe draws them (with icons: their pictures)
//   animations the two banner animations played by relinka.exe's own control
#include <windows.h>
#include <wrl/client.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/amigos_layout.h"
#include "echolink/echolink_automation_win.h"
#include "winlib/animation_win.h"
#include "winlib/com_win.h"
#include "winlib/fonts_win.h"
#include "winlib/painting_win.h"
#include "winlib/twips_win.h"

using namespace relinka;

namespace {

struct Options {
    bool fonts = false, icons = false, ownerdraw = false, animations = false;
};
Options options;
int dpi = 96;
HBRUSH green = nullptr;
std::map<int, HICON> pictures;  // by control id

DWORD class_style(const ControlSpec& design, const wchar_t*& window_class, DWORD& extended) {
    extended = 0;
    switch (design.kind) {
        case ControlKind::Button:
            window_class = L"BUTTON";
            return WS_TABSTOP | (options.ownerdraw ? BS_OWNERDRAW : BS_PUSHBUTTON);
        case ControlKind::TextBox:
            window_class = L"EDIT";
            extended = WS_EX_CLIENTEDGE;
            return WS_TABSTOP | ES_AUTOHSCROLL;
        case ControlKind::MultiLineText:
            window_class = L"EDIT";
            extended = WS_EX_CLIENTEDGE;
            return WS_TABSTOP | ES_MULTILINE;
        case ControlKind::CheckBox:
            window_class = L"BUTTON";
            return WS_TABSTOP | BS_AUTOCHECKBOX;
        case ControlKind::GroupBox:
            window_class = L"BUTTON";
            return BS_GROUPBOX;
        case ControlKind::Indicator:
            window_class = L"STATIC";
            return options.ownerdraw ? SS_OWNERDRAW : SS_LEFT;
        case ControlKind::Animation:
            window_class = options.animations ? kAnimationClass : L"STATIC";
            return 0;
        default:
            window_class = L"STATIC";
            return (design.align == Align::Centre ? SS_CENTER : SS_LEFT) | (design.border ? WS_BORDER : 0);
    }
}

HFONT font_for(const FontSpec& wanted) {
    static FontSet ours(dpi);
    static std::vector<HFONT> plain;
    const FontSpec design = wanted.face ? wanted : kFormDefaultFont;
    if (options.fonts) return ours.get(design);
    plain.push_back(CreateFontW(-MulDiv(design.centipoints, dpi, 7200), 0, 0, 0,
                                design.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, design.face));
    return plain.back();
}

HICON load_icon(int resource, int size) {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, 0));
}

void create_controls(HWND window) {
    for (const ControlSpec& design : kAmigosControls) {
        const wchar_t* window_class = nullptr;
        DWORD extended = 0;
        const DWORD style = class_style(design, window_class, extended);
        const HWND control = CreateWindowExW(
            extended, window_class, design.caption, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
            twips_to_pixels(design.left, dpi), twips_to_pixels(design.top, dpi),
            twips_to_pixels(design.width, dpi), std::max(1, twips_to_pixels(design.height, dpi)), window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), GetModuleHandleW(nullptr),
            reinterpret_cast<void*>(static_cast<INT_PTR>(design.picture)));
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(design.font)), FALSE);
        if (options.icons && design.kind == ControlKind::Button && design.picture)
            pictures[design.id] = load_icon(design.picture, MulDiv(32, dpi, 96));
    }
    // As relinka.exe lays them: group boxes and the banner beneath the controls they hold.
    for (auto design = kAmigosControls.rbegin(); design != kAmigosControls.rend(); ++design)
        if (design->beneath)
            SetWindowPos(GetDlgItem(window, design->id), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

const ControlSpec* design_of(int id) {
    for (const ControlSpec& design : kAmigosControls)
        if (design.id == id) return &design;
    return nullptr;
}

LRESULT CALLBACK plain_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) == kShape1)
                return reinterpret_cast<LRESULT>(green);
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (item.CtlID == kShape1) {
                paint_indicator(item, RGB(0, 255, 0), RGB(0, 255, 0), RGB(0, 0, 0),
                                item.rcItem.bottom - item.rcItem.top);
            } else if (const ControlSpec* design = design_of(item.CtlID)) {
                const auto picture = pictures.find(item.CtlID);
                paint_button(item, {design->back & 0xFFFFFF, GetSysColor(COLOR_BTNTEXT), false},
                             picture == pictures.end() ? nullptr : picture->second, MulDiv(32, dpi, 96));
            }
            return TRUE;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    for (int i = 1; i < __argc; ++i) {
        const std::wstring option = __wargv[i];
        options.fonts |= option == L"fonts";
        options.icons |= option == L"icons";
        options.ownerdraw |= option == L"ownerdraw";
        options.animations |= option == L"animations";
    }
    ComApartment apartment;
    Microsoft::WRL::ComPtr<IEchoLinkApp> echolink;
    if (FAILED(CoCreateInstance(kEchoLinkClass, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&echolink)))) return 1;
    dpi = screen_dpi();
    green = CreateSolidBrush(RGB(0, 255, 0));
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = plain_procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    window_class.lpszClassName = L"RelinkaPlainWindow";
    RegisterClassW(&window_class);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
    RECT bounds{0, 0, twips_to_pixels(kAmigosForm.client_width, dpi),
                twips_to_pixels(kAmigosForm.client_height, dpi)};
    AdjustWindowRectEx(&bounds, style, FALSE, 0);
    const HWND window = CreateWindowExW(0, L"RelinkaPlainWindow", kAmigosForm.caption, style, CW_USEDEFAULT,
                                        CW_USEDEFAULT, bounds.right - bounds.left, bounds.bottom - bounds.top,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (options.icons) {
        SendMessageW(window, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(load_icon(kAmigosForm.icon, GetSystemMetrics(SM_CXICON))));
        SendMessageW(window, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(load_icon(kAmigosForm.icon, GetSystemMetrics(SM_CXSMICON))));
    }
    if (options.animations) register_animation_class();
    create_controls(window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
