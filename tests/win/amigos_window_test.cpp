// The main window as Windows builds it: every control of its table, the keyboard, the painting.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "support/loaded_window.h"
#include "support/window_checks.h"
#include "winlib/fonts_win.h"

namespace relinka::testing {
namespace {

constexpr int kTwipsPerPixel = 15;  // at 96 dpi

std::wstring name_of(const ControlSpec& design) {
    std::wstring name = design.name;
    if (name == L"Text" || name == L"Check" || name == L"Label") {
        const int first = name == L"Text" ? kText1 : name == L"Check" ? kCheck1 : kLabel1;
        name += std::to_wstring(design.id - first + 1);
    }
    return name;
}

const ControlSpec& design_named(const std::wstring& name) {
    for (const ControlSpec& design : kAmigosControls)
        if (name_of(design) == name) return design;
    throw std::runtime_error("no such control");
}

TEST(AmigosWindow, IsTheFormOfTheTable) {
    LoadedWindow loaded;
    const HWND hwnd = loaded.window.hwnd();
    ASSERT_EQ(loaded.window.dpi(), 96);
    expect_window(
        hwnd, {L"  Relinka", 7575 / kTwipsPerPixel, 8805 / kTwipsPerPixel, true, true, false, IDI_RELINKA});
    EXPECT_EQ(GetFocus(), loaded.named(design_named(L"Command1")));
}

TEST(AmigosWindow, EveryControlHasItsPlaceCaptionAndFont) {
    LoadedWindow loaded;
    expect_controls_as_in_table(loaded.window, kAmigosControls);
    // A few places worked out by hand, in pixels at 96 dpi.
    EXPECT_EQ(client_rect_of(loaded.named(design_named(L"Command1"))).left, 392);
    EXPECT_EQ(client_rect_of(loaded.named(design_named(L"Text8"))).top, 368);
    EXPECT_EQ(client_rect_of(loaded.named(design_named(L"Check8"))).top, 376);
    EXPECT_EQ(client_rect_of(loaded.named(design_named(L"Label8"))).bottom, 393);
    EXPECT_EQ(text_of(loaded.named(design_named(L"Check3"))), L"conecta 3");
    EXPECT_EQ(text_of(loaded.named(design_named(L"Frame1"))), L"Estações amigas");
}

// "MS Sans Serif" is a bitmap face on Windows, drawn well only at its 96-dpi sizes; above that its outline
// twin is taken where installed. Neither is installed here, so the order itself is what can be checked.
TEST(AmigosWindow, AboveNinetySixDpiTheOutlineFaceComesBeforeTheBitmapOne) {
    EXPECT_EQ(faces_for(L"MS Sans Serif", 96).at(0), L"MS Sans Serif");
    EXPECT_EQ(faces_for(L"MS Sans Serif", 96).at(1), L"Microsoft Sans Serif");
    for (int dpi : {120, 144, 192}) {
        EXPECT_EQ(faces_for(L"MS Sans Serif", dpi).at(0), L"Microsoft Sans Serif") << dpi;
        EXPECT_EQ(faces_for(L"MS Sans Serif", dpi).at(1), L"MS Sans Serif") << dpi;
        EXPECT_EQ(faces_for(L"Times New Roman", dpi).at(0), L"Times New Roman") << dpi;
    }
}

TEST(AmigosWindow, LabelsHaveTheirColours) {
    LoadedWindow loaded;
    HDC dc = CreateCompatibleDC(nullptr);
    const std::map<std::wstring, std::pair<COLORREF, COLORREF>> coloured = {
        {L"Label9", {RGB(0, 0, 255), GetSysColor(COLOR_BTNFACE)}},
        {L"Label10", {RGB(192, 0, 0), GetSysColor(COLOR_BTNFACE)}},
        {L"Label11", {RGB(0, 0, 255), RGB(255, 255, 255)}},
        {L"Picture1", {GetSysColor(COLOR_WINDOWTEXT), RGB(255, 255, 255)}},
    };
    for (const auto& [name, colours] : coloured) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SendMessageW(loaded.window.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(loaded.named(design_named(name))));
        EXPECT_EQ(GetTextColor(dc), colours.first) << utf8(name);
        EXPECT_EQ(GetBkColor(dc), colours.second) << utf8(name);
    }
    DeleteDC(dc);
    for (int slot = 1; slot <= kSlots; ++slot) {
        const HWND label = loaded.named(design_named(L"Label" + std::to_wstring(slot)));
        EXPECT_TRUE(GetWindowLongW(label, GWL_STYLE) & WS_BORDER);
        EXPECT_EQ(GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    }
}

TEST(AmigosWindow, TabWalksTheControlsInTabOrderFromEncerrar) {
    LoadedWindow loaded;
    const std::vector<std::wstring> order = {
        L"Command1", L"Text1",    L"Text2",    L"Text3",    L"Text4",    L"Text5",   L"Text6",
        L"Check1",   L"Check2",   L"Check3",   L"Check4",   L"Check5",   L"Check6",  L"Text7",
        L"Text8",    L"Check7",   L"Check8",   L"Text9",    L"Command2", L"ler",     L"gravar",
        L"sobre",    L"Command3", L"Command4", L"Command5", L"Command6", L"Command1"};
    for (size_t step = 0; step < order.size(); ++step) {
        EXPECT_EQ(GetFocus(), loaded.named(design_named(order[step]))) << "step " << step;
        press(GetFocus(), VK_TAB);
    }
}

TEST(AmigosWindow, EnterAtOnceAsksTheExitQuestion) {
    LoadedWindow loaded;
    loaded.trace.clear();
    loaded.desktop.answers = {kNo};
    press(GetFocus(), VK_RETURN);
    EXPECT_EQ(loaded.trace, (Trace{"beep", "msgbox \"Tem certeza que quer sair?\" \"relinka\" 292"}));
}

TEST(AmigosWindow, ButtonsRunTheirHandlersAndCheckBoxesRunNone) {
    LoadedWindow loaded;
    loaded.trace.clear();
    SendMessageW(loaded.named(design_named(L"Command4")), BM_CLICK, 0, 0);
    SendMessageW(loaded.named(design_named(L"Check2")), BM_CLICK, 0, 0);
    EXPECT_EQ(loaded.trace, (Trace{"beep", "let sleep"}));
    EXPECT_EQ(loaded.window.fill_colour(kShape1), kRed);
    EXPECT_EQ(loaded.window.back_colour(kShape1), kRed);
    EXPECT_EQ(loaded.window.Check(2), 1);
    // "Desliga" stopped the timer: a tick would find slot 2 ticked with no station, beep and ask for one.
    pump_for(1200);
    EXPECT_EQ(loaded.trace, (Trace{"beep", "let sleep"}));
}

TEST(AmigosWindow, ButtonsAndIndicatorArePaintedInTheirColours) {
    // The buttons' faces are checked with the rest of the table; here the indicator.
    LoadedWindow loaded;
    const HWND shape = loaded.named(design_named(L"Shape1"));
    RECT area;
    GetClientRect(shape, &area);
    const int middle_x = area.right / 2, middle_y = area.bottom / 2;
    EXPECT_EQ(pixel(shape, middle_x, middle_y), RGB(0, 255, 0)) << "green after start-up";
    EXPECT_EQ(pixel(shape, 0, 0), GetSysColor(COLOR_BTNFACE)) << "a circle, not the whole area";
    EXPECT_EQ(pixel(shape, middle_x, 1), RGB(0, 255, 0)) << "495 twips across: the area's full height";
    SendMessageW(loaded.named(design_named(L"Command4")), BM_CLICK, 0, 0);
    EXPECT_EQ(pixel(shape, middle_x, middle_y), RGB(255, 0, 0)) << "red once stopped";
}

TEST(AmigosWindow, TimerTicksRunTheCycleOnceASecond) {
    LoadedWindow loaded;
    loaded.window.SetText(1, L"pu2abc");
    loaded.window.SetCheck(1, 1);
    loaded.station.connected = {L"PU2ABC"};
    loaded.trace.clear();
    pump_for(2500);
    // Two ticks in two and a half seconds, a third at most on a slow machine; each asks twice.
    const size_t calls = loaded.trace.size();
    EXPECT_TRUE(calls == 4 || calls == 6) << calls << " calls";
    EXPECT_EQ(Trace(calls, "IsConnected(\"PU2ABC\")"), loaded.trace);
    EXPECT_EQ(loaded.window.Text(1), L"PU2ABC");
    EXPECT_EQ(text_of(loaded.window.control(kLabel1 + 1)), L" ");
    EXPECT_EQ(text_of(loaded.window.control(kLabel1)), L"conectado");
}

TEST(AmigosWindow, CloseBoxEndsWithoutAQuestion) {
    LoadedWindow loaded;
    loaded.trace.clear();
    SendMessageW(loaded.window.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(loaded.amigos.ended());
    EXPECT_FALSE(IsWindow(loaded.window.hwnd()));
    EXPECT_EQ(loaded.trace, Trace{"let sleep"}) << "no question";
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(AmigosWindow, Screenshot) {
    LoadedWindow loaded;
    loaded.window.SetText(1, L"PU2ABC");
    loaded.window.SetCheck(1, 1);
    loaded.window.SetLabel(1, L"conectado");
    save_screenshot(loaded.window.hwnd(), L"amigos.png");
    EXPECT_NE(GetFileAttributesW(L"screenshots\\amigos.png"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace relinka::testing
