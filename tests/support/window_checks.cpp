#include "support/window_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

#include "core/fakes.h"
#include "support/wine_support.h"
#include "winlib/contrast.h"
#include "winlib/fonts_win.h"
#include "winlib/window_win.h"

namespace relinka::testing {

RECT client_rect_of(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

const ControlSpec& design_in(std::span<const ControlSpec> table, int id) {
    return *std::find_if(table.begin(), table.end(),
                         [id](const ControlSpec& design) { return design.id == id; });
}

LOGFONTW font_of(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

void expect_font(HWND control, const FontSpec& wanted, int dpi) {
    LOGFONTW font{};
    ASSERT_TRUE(
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font));
    const FontSpec& expected = wanted.face ? wanted : kFormDefaultFont;
    const auto faces = faces_for(expected.face, dpi);
    EXPECT_NE(std::find(faces.begin(), faces.end(), font.lfFaceName), faces.end()) << utf8(font.lfFaceName);
    EXPECT_EQ(font.lfHeight, -MulDiv(expected.centipoints, dpi, 7200));
    EXPECT_EQ(font.lfWeight, expected.bold ? FW_BOLD : FW_NORMAL);
}

namespace {

// The room a label's caption takes when the label wraps it to its own width.
SIZE room_for_caption(HWND label) {
    RECT needed;
    GetClientRect(label, &needed);
    needed.bottom = 0;
    const WindowDc dc(label);
    const SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextW(dc.get(), text_of(label).c_str(), -1, &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return {needed.right, needed.bottom};
}

bool shows_text(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::Label || kind == ControlKind::TextBox ||
           kind == ControlKind::MultiLineText || kind == ControlKind::CheckBox ||
           kind == ControlKind::GroupBox;
}

}  // namespace

void expect_controls_as_in_table(const Form& form, std::span<const ControlSpec> table,
                                 std::initializer_list<int> captions_wider,
                                 std::initializer_list<int> captions_of_their_own) {
    constexpr int kTwipsPerPixel = 15;  // at 96 dpi
    ASSERT_EQ(form.dpi(), 96);
    std::vector<int> in_order, beneath;
    for (const ControlSpec& design : table) {
        (design.beneath ? beneath : in_order).push_back(design.id);
        SCOPED_TRACE(::testing::Message() << "control " << utf8(design.name) << " " << design.id);
        const HWND control = form.control(design.id);
        ASSERT_TRUE(control);
        const RECT rect = client_rect_of(control);
        EXPECT_EQ(rect.left, design.left / kTwipsPerPixel);
        EXPECT_EQ(rect.top, design.top / kTwipsPerPixel);
        EXPECT_EQ(rect.right - rect.left, design.width / kTwipsPerPixel);
        EXPECT_EQ(rect.bottom - rect.top,
                  design.kind == ControlKind::Line ? 1 : design.height / kTwipsPerPixel);
        if (design.kind == ControlKind::Button)
            EXPECT_EQ(pixel(control, 5, 5), to_colorref(design.back)) << "face";
        if (!shows_text(design.kind)) continue;
        if (std::find(captions_of_their_own.begin(), captions_of_their_own.end(), design.id) ==
            captions_of_their_own.end())
            EXPECT_EQ(text_of(control), design.caption);
        if (design.kind == ControlKind::Label &&
            std::find(captions_wider.begin(), captions_wider.end(), design.id) == captions_wider.end()) {
            const SIZE needed = room_for_caption(control);
            EXPECT_LE(needed.cx, rect.right - rect.left) << "caption clipped on the right";
            EXPECT_LE(needed.cy, rect.bottom - rect.top) << "caption clipped at the bottom";
        }
        expect_font(control, design.font, 96);
    }
    in_order.insert(in_order.end(), beneath.rbegin(), beneath.rend());
    std::vector<int> children;
    for (HWND child = GetWindow(form.hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(GetDlgCtrlID(child));
    EXPECT_EQ(children, in_order) << "the children, first to last: the tab order, then those beneath";
}

void press(HWND focus, WPARAM key) {
    MSG message{focus, WM_KEYDOWN, key, 0};
    dispatch_message(message);
    MSG release{focus, WM_KEYUP, key, 0};
    dispatch_message(release);
}

COLORREF pixel(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return GetPixel(WindowDc(window).get(), x, y);
}

std::vector<COLORREF> pixels_of(HDC dc, int width, int height) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    return pixels;
}

std::vector<COLORREF> drawn(HICON icon, int size, COLORREF background) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    UniqueBitmap canvas(CreateBitmap(size, size, 1, 32, nullptr));
    SelectedObject selected(dc.get(), canvas.get());
    const RECT whole{0, 0, size, size};
    FillRect(dc.get(), &whole, UniqueBrush(CreateSolidBrush(background)).get());
    DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    return pixels_of(dc.get(), size, size);
}

std::vector<COLORREF> drawn(int resource, int size) {
    const auto icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, 0));
    std::vector<COLORREF> pixels = drawn(icon, size);
    DestroyIcon(icon);
    return pixels;
}

void expect_window(HWND hwnd, const ExpectedWindow& expected) {
    EXPECT_EQ(text_of(hwnd), expected.caption);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, expected.client_width);
    EXPECT_EQ(client.bottom, expected.client_height);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(bool(style & WS_THICKFRAME), expected.resizable);
    EXPECT_EQ(bool(style & WS_MINIMIZEBOX), expected.minimize_box);
    EXPECT_EQ(bool(style & WS_MAXIMIZEBOX), expected.maximize_box);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    RECT outer;
    GetWindowRect(hwnd, &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);
    const auto big = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
    const auto small = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
    ASSERT_TRUE(big && small);
    EXPECT_TRUE(drawn(big, 32) == drawn(expected.icon, 32)) << "big icon";
    EXPECT_TRUE(drawn(small, 16) == drawn(expected.icon, 16)) << "small icon";
}

namespace {

// A window's client area as `draw` puts it into a device context.
template <class Draw>
Capture drawn_into_memory(HWND window, Draw draw) {
    RECT area;
    GetClientRect(window, &area);
    Capture shown{area.right, area.bottom, std::vector<COLORREF>(size_t(area.right) * area.bottom)};
    BITMAPINFO format{};
    format.bmiHeader = {sizeof format.bmiHeader, area.right, -area.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    const UniqueBitmap bitmap(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UniqueMemoryDc copy(CreateCompatibleDC(nullptr));
    {
        const SelectedObject selected(copy.get(), bitmap.get());
        draw(copy.get(), area);
    }
    const auto* source = static_cast<const std::uint32_t*>(bits);  // 0x00RRGGBB
    for (size_t i = 0; i < shown.pixels.size(); ++i)
        shown.pixels[i] = RGB(source[i] >> 16 & 0xFF, source[i] >> 8 & 0xFF, source[i] & 0xFF);
    return shown;
}

}  // namespace

Capture capture(HWND window) {
    return drawn_into_memory(window, [window](HDC dc, const RECT& area) {
        BitBlt(dc, 0, 0, area.right, area.bottom, WindowDc(window).get(), 0, 0, SRCCOPY);
    });
}

Capture printed(HWND control) {
    return drawn_into_memory(control, [control](HDC dc, const RECT&) {
        SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    });
}

namespace {

Capture drawn_now(HWND control) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return capture(control);
}

template <class Pixels>
COLORREF commonest(const Pixels& pixels, std::optional<COLORREF> leaving_out = {}) {
    std::map<COLORREF, int> counts;
    for (COLORREF pixel : pixels)
        if (pixel != leaving_out) ++counts[pixel];
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

}  // namespace

double caption_contrast(HWND control) {
    const std::wstring caption = text_of(control);
    const Capture with = drawn_now(control);
    SetWindowTextW(control, L"");
    const Capture without = drawn_now(control);
    SetWindowTextW(control, caption.c_str());
    drawn_now(control);

    RECT around{with.width, with.height, 0, 0};
    std::vector<COLORREF> caption_pixels;
    for (int y = 0; y < with.height; ++y)
        for (int x = 0; x < with.width; ++x)
            if (with.at(x, y) != without.at(x, y)) {
                caption_pixels.push_back(with.at(x, y));
                around = {std::min<LONG>(around.left, x), std::min<LONG>(around.top, y),
                          std::max<LONG>(around.right, x + 1), std::max<LONG>(around.bottom, y + 1)};
            }
    if (caption_pixels.empty()) return 1.0;
    std::vector<COLORREF> box;
    for (int y = around.top; y < around.bottom; ++y)
        for (int x = around.left; x < around.right; ++x) box.push_back(with.at(x, y));
    const COLORREF fill = commonest(box);
    if (std::all_of(caption_pixels.begin(), caption_pixels.end(),
                    [&](COLORREF pixel) { return pixel == fill; }))
        return 1.0;
    return contrast_ratio(commonest(caption_pixels, fill), fill);
}

Palette::Palette(std::vector<Entry> entries) {
    std::vector<int> elements;
    std::vector<COLORREF> colours;
    for (const Entry& entry : entries) {
        before_.push_back({entry.element, GetSysColor(entry.element)});
        elements.push_back(entry.element);
        colours.push_back(entry.colour);
    }
    SetSysColors(static_cast<int>(elements.size()), elements.data(), colours.data());
    pump_for(100);
}

Palette::~Palette() {
    std::vector<int> elements;
    std::vector<COLORREF> colours;
    for (const Entry& entry : before_) {
        elements.push_back(entry.element);
        colours.push_back(entry.colour);
    }
    SetSysColors(static_cast<int>(elements.size()), elements.data(), colours.data());
    pump_for(100);
}

std::vector<Palette::Entry> high_contrast_black() {
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    return {
        {COLOR_WINDOW, black},
        {COLOR_WINDOWTEXT, white},
        {COLOR_BTNFACE, black},
        {COLOR_BTNTEXT, white},
        {COLOR_3DHIGHLIGHT, white},
        {COLOR_3DLIGHT, white},
        {COLOR_3DSHADOW, black},
        {COLOR_3DDKSHADOW, black},
        {COLOR_WINDOWFRAME, white},
        {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
        {COLOR_HIGHLIGHTTEXT, black},
        {COLOR_HOTLIGHT, RGB(255, 255, 0)},
        {COLOR_GRAYTEXT, RGB(63, 242, 63)},
        {COLOR_ACTIVECAPTION, black},
        {COLOR_CAPTIONTEXT, white},
        {COLOR_INACTIVECAPTION, black},
        {COLOR_INACTIVECAPTIONTEXT, white},
        {COLOR_GRADIENTACTIVECAPTION, black},
        {COLOR_GRADIENTINACTIVECAPTION, black},
        {COLOR_ACTIVEBORDER, white},
        {COLOR_INACTIVEBORDER, white},
        {COLOR_DESKTOP, black},
        {COLOR_APPWORKSPACE, black},
        {COLOR_MENU, black},
        {COLOR_MENUTEXT, white},
        {COLOR_MENUBAR, black},
        {COLOR_MENUHILIGHT, RGB(26, 235, 255)},
        {COLOR_SCROLLBAR, black},
        {COLOR_INFOBK, black},
        {COLOR_INFOTEXT, white},
    };
}

}  // namespace relinka::testing
