// The Help and About windows as Windows builds them, opened from the main window, and the embedded
// animations.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <span>
#include <vector>

#include "damaged_picture.h"
#include "debug_output.h"
#include "embedded_animation.h"
#include "loaded_window.h"
#include "modal_driver.h"
#include "process_counters.h"
#include "relinka_process.h"
#include "win32/animation_frames_win.h"
#include "win32/animation_win.h"
#include "win32/contrast.h"
#include "win32/fonts_win.h"
#include "win32/gdiplus_win.h"
#include "window_checks.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"

namespace relinka::testing {
namespace {

void type(HWND focus, const wchar_t* text) {
    for (; *text; ++text) {
        MSG message{focus, WM_CHAR, static_cast<WPARAM>(*text), 0};
        dispatch_message(message);
    }
}

// What a control shows on the screen.
std::vector<COLORREF> shown_by(HWND control) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT area;
    GetClientRect(control, &area);
    return pixels_of(WindowDc(control).get(), area.right, area.bottom);
}

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

// A control as the design gives it, in pixels at 96 dpi; tab -1 for none.
struct Expected {
    int id;
    const wchar_t* caption;  // null: shows no text
    int left, top, width, height;
    FontSpec font;  // null face: shows no text
    int tab;
};

const ExpectedWindow kAjudaWindow{L"Ajuda", 412, 319, true, true, true, IDI_AJUDA};
const Expected kAjudaExpected[] = {
    {kAjudaLabel1, L"Relinka amigos", 48, 8, 329, 49, {L"Times New Roman", 2775, true}, 2},
    {kAjudaText1, kHelpText, 24, 64, 369, 161, {L"MS Sans Serif", 975, true}, 1},
    {kAjudaCommand1, L"Retornar", 304, 240, 89, 65, {L"MS Sans Serif", 975, true}, 0},
};

const ExpectedWindow kSobreWindow{L"Sobre", 312, 377, false, false, false, IDI_SOBRE_WINDOW};
constexpr FontSpec kSans825Bold{L"MS Sans Serif", 825, true};
const Expected kSobreExpected[] = {
    {kSobreAniGIF2, nullptr, 16, 0, 49, 89, kWindowFont, 8},
    {kSobreLabel1, L"Relinka", 80, 16, 217, 41, {L"MS Sans Serif", 2400, true}, 2},
    {kSobreLabel4, L"Vers\u00E3o 3.0  Revis\u00E3o 1  -  10/2008", 80, 56, 201, 25, kSans825Bold, 4},
    {kSobreLine1, nullptr, 8, 88, 296, 1, kWindowFont, -1},
    {kSobreLabel2,
     L"Uma cria\u00E7\u00E3o de Fulano de Tal",
     16,
     96,
     273,
     33,
     {L"MS Sans Serif", 1350, true},
     1},
    {kSobreLabel5, L"QX0QX", 96, 120, 97, 41, {L"Times New Roman", 2400, true}, 3},
    {kSobreLabel3, kAboutFirm, 8, 168, 297, 25, kSans825Bold, 0},
    {kSobreLine2, nullptr, 8, 200, 296, 1, kWindowFont, -1},
    {kSobreLabel6, kAboutDonation, 8, 208, 297, 57, {L"MS Sans Serif", 825, false}, 6},
    {kSobreLine3, nullptr, 8, 272, 296, 1, kWindowFont, -1},
    {kSobreCommand1, L"Visitar Servidor  QX0QX", 16, 288, 153, 73, kSans825Bold, 7},
    {kSobreRet, L"Retornar", 200, 288, 97, 73, kSans825Bold, 5},
};

// Every control: place, caption (whole, for a label), font, its background when it paints its own,
// and the order the keyboard walks them in (the order of the window's children).
void expect_controls(const Form& form, std::span<const ControlSpec> table, std::span<const Expected> design) {
    ASSERT_EQ(table.size(), design.size());
    std::vector<std::pair<int, int>> tab_by_position;  // (place among the children, tab index)
    for (const Expected& expected : design) {
        const HWND control = form.control(expected.id);
        ASSERT_TRUE(control) << "control " << expected.id;
        const ControlSpec& entry = design_in(table, expected.id);
        SCOPED_TRACE(::testing::Message() << "control " << utf8(entry.name));
        const RECT rect = client_rect_of(control);
        EXPECT_EQ(rect.left, expected.left);
        EXPECT_EQ(rect.top, expected.top);
        EXPECT_EQ(rect.right - rect.left, expected.width);
        EXPECT_EQ(rect.bottom - rect.top, expected.height);
        if (entry.kind == ControlKind::Button) EXPECT_EQ(pixel(control, 5, 5), entry.back) << "background";
        if (expected.tab >= 0) {
            int position = 0;
            for (HWND child = GetWindow(form.hwnd(), GW_CHILD); child && child != control;
                 child = GetWindow(child, GW_HWNDNEXT))
                ++position;
            tab_by_position.emplace_back(position, expected.tab);
        }
        if (!expected.caption) continue;
        EXPECT_EQ(text_of(control), expected.caption);
        // The callsign's label is narrower than the callsign at its size, as the window was designed.
        if (entry.kind == ControlKind::Label && expected.id != kSobreLabel5) {
            const SIZE needed = room_for_caption(control);
            EXPECT_LE(needed.cx, expected.width) << "caption clipped on the right";
            EXPECT_LE(needed.cy, expected.height) << "caption clipped at the bottom";
        }

        LOGFONTW font{};
        ASSERT_TRUE(
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font));
        const auto faces = faces_for(expected.font.face, 96);
        EXPECT_NE(std::find(faces.begin(), faces.end(), font.lfFaceName), faces.end())
            << utf8(font.lfFaceName);
        EXPECT_EQ(font.lfHeight, -MulDiv(expected.font.centipoints, 96, 7200));
        EXPECT_EQ(font.lfWeight, expected.font.bold ? FW_BOLD : FW_NORMAL);
    }
    std::sort(tab_by_position.begin(), tab_by_position.end());
    for (size_t i = 1; i < tab_by_position.size(); ++i)
        EXPECT_LT(tab_by_position[i - 1].second, tab_by_position[i].second) << "tab order";
}

// The colours a label (or rule) gets from its window, and the brush it is filled with.
struct StaticColours {
    COLORREF text, back, brush;
};

StaticColours static_colours(const Form& form, int id) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    SetTextColor(dc.get(), GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc.get(), RGB(1, 2, 3));
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(form.hwnd(), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc.get()),
                                                             reinterpret_cast<LPARAM>(form.control(id))));
    LOGBRUSH fill{};
    GetObjectW(brush, sizeof fill, &fill);
    return {GetTextColor(dc.get()), GetBkColor(dc.get()), fill.lbColor};
}

template <class W, class... Args>
struct Shown {
    W window;
    explicit Shown(Args&... args) : window(args...) {
        window.create();
        window.show();
        SetForegroundWindow(window.hwnd());
        pump_for(100);
    }
};

TEST(AjudaWindow, IsTheFormOfItsTable) {
    Shown<AjudaWindow> shown;
    const AjudaWindow& window = shown.window;
    ASSERT_EQ(window.dpi(), 96);
    expect_window(window.hwnd(), kAjudaWindow);
    expect_controls(window, kAjudaControls, kAjudaExpected);
    EXPECT_EQ(GetFocus(), window.control(kAjudaCommand1)) << "focus opens on Retornar";

    const StaticColours title = static_colours(window, kAjudaLabel1);
    EXPECT_EQ(title.text, RGB(0, 0, 255));
    EXPECT_EQ(title.back, GetSysColor(COLOR_BTNFACE));

    // The help text keeps the system's colours of a text box.
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    SetTextColor(dc.get(), RGB(1, 2, 3));
    SetBkColor(dc.get(), RGB(1, 2, 3));
    SendMessageW(window.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(window.control(kAjudaText1)));
    EXPECT_EQ(GetTextColor(dc.get()), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(GetBkColor(dc.get()), GetSysColor(COLOR_WINDOW));

    const LONG text_style = GetWindowLongW(window.control(kAjudaText1), GWL_STYLE);
    EXPECT_TRUE(text_style & ES_MULTILINE);
    EXPECT_FALSE(text_style & ES_READONLY);
    // No line of the help text is wrapped: nine lines and the empty one after the last line end.
    EXPECT_EQ(SendMessageW(window.control(kAjudaText1), EM_GETLINECOUNT, 0, 0), 10);
}

TEST(SobreAutoWindow, IsTheFormOfItsTable) {
    WindowsDesktop shell;
    Shown<SobreAutoWindow, WindowsDesktop> shown(shell);
    const SobreAutoWindow& window = shown.window;
    ASSERT_EQ(window.dpi(), 96);
    expect_window(window.hwnd(), kSobreWindow);
    expect_controls(window, kSobreAutoControls, kSobreExpected);
    EXPECT_EQ(GetFocus(), window.control(kSobreRet)) << "focus opens on Retornar";

    // The title bar's and the desktop's colours where they read on the face: Wine's title bar blue
    // (50, 150, 250) reads 2.8:1 on its face, and the title is black.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const struct {
        int id;
        COLORREF text;
    } labels[] = {
        {kSobreLabel1, readable_on(face, GetSysColor(COLOR_ACTIVECAPTION))},
        {kSobreLabel2, RGB(0, 128, 0)},
        {kSobreLabel3, GetSysColor(COLOR_WINDOWTEXT)},
        {kSobreLabel4, GetSysColor(COLOR_WINDOWTEXT)},
        {kSobreLabel5, readable_on(face, GetSysColor(COLOR_DESKTOP))},
        {kSobreLabel6, GetSysColor(COLOR_WINDOWTEXT)},
    };
    for (const auto& label : labels) {
        const StaticColours colours = static_colours(window, label.id);
        EXPECT_EQ(colours.text, label.text) << "label " << label.id;
        EXPECT_EQ(colours.back, GetSysColor(COLOR_BTNFACE)) << "label " << label.id;
    }
    // The plea for donations: centred and wrapped, in the window's own font.
    const LONG plea = GetWindowLongW(window.control(kSobreLabel6), GWL_STYLE);
    EXPECT_EQ(plea & SS_TYPEMASK, SS_CENTER);
    EXPECT_FALSE(plea & (SS_ENDELLIPSIS | SS_WORDELLIPSIS | SS_PATHELLIPSIS));

    for (int line : {kSobreLine1, kSobreLine2, kSobreLine3}) {
        EXPECT_EQ(static_colours(window, line).brush, GetSysColor(COLOR_WINDOWTEXT)) << "line " << line;
        const HWND rule = window.control(line);
        EXPECT_EQ(pixel(rule, 0, 0), GetSysColor(COLOR_WINDOWTEXT)) << "line " << line;
        EXPECT_EQ(pixel(rule, 295, 0), GetSysColor(COLOR_WINDOWTEXT)) << "line " << line;
    }
}

TEST(AuxiliaryWindows, TabWalksFromRetornarThroughTheControlsThatTakeTheFocus) {
    {
        Shown<AjudaWindow> shown;
        const AjudaWindow& window = shown.window;
        const HWND order[] = {window.control(kAjudaCommand1), window.control(kAjudaText1),
                              window.control(kAjudaCommand1)};
        for (size_t step = 0; step < std::size(order); ++step) {
            EXPECT_EQ(GetFocus(), order[step]) << "Ajuda, step " << step;
            press(GetFocus(), VK_TAB);
            pump_for(50);  // the characters the keys make
        }
        EXPECT_EQ(text_of(window.control(kAjudaText1)), kHelpText) << "Tab typed into the help text";
    }
    {
        WindowsDesktop shell;
        Shown<SobreAutoWindow, WindowsDesktop> shown(shell);
        const SobreAutoWindow& window = shown.window;
        const HWND order[] = {window.control(kSobreRet), window.control(kSobreCommand1),
                              window.control(kSobreRet)};
        for (size_t step = 0; step < std::size(order); ++step) {
            EXPECT_EQ(GetFocus(), order[step]) << "Sobre, step " << step;
            press(GetFocus(), VK_TAB);
        }
    }
}

TEST(AuxiliaryWindows, EnterOrSpaceOnTheFirstFocusClosesAtOnce) {
    for (WPARAM key : {VK_RETURN, VK_SPACE}) {
        {
            Shown<AjudaWindow> shown;
            press(GetFocus(), key);
            EXPECT_EQ(shown.window.hwnd(), nullptr) << "Ajuda, key " << key;
        }
        {
            RecordingShell shell;
            Shown<SobreAutoWindow, RecordingShell> shown(shell);
            press(GetFocus(), key);
            EXPECT_EQ(shown.window.hwnd(), nullptr) << "Sobre, key " << key;
            EXPECT_TRUE(shell.calls.empty());
        }
    }
}

int count_of(const Trace& trace, const std::string& step) {
    return static_cast<int>(std::count(trace.begin(), trace.end(), step));
}

TEST(AuxiliaryWindows, AjudaBlocksTheMainWindowWhileSupervisionGoesOn) {
    LoadedWindow loaded;
    loaded.window.SetText(1, L"PU2ABC");
    loaded.window.SetCheck(1, 1);
    loaded.station.connected = {L"PU2ABC"};
    loaded.trace.clear();
    const HWND main = loaded.window.hwnd();
    bool main_enabled = true, focus_on_retornar = false;
    HWND owner = main;
    Trace while_open;
    {
        ModalDriver driver(L"Ajuda", [&](HWND help, ULONGLONG elapsed) {
            if (elapsed == 0) {
                main_enabled = IsWindowEnabled(main);
                focus_on_retornar = GetFocus() == GetDlgItem(help, kAjudaCommand1);
                owner = GetWindow(help, GW_OWNER);
                return false;
            }
            if (elapsed < 2600) return false;
            while_open = loaded.trace;
            press(GetFocus(), VK_RETURN);
            return true;
        });
        loaded.click(kCommand3);
    }
    EXPECT_FALSE(main_enabled);
    EXPECT_TRUE(focus_on_retornar);
    EXPECT_EQ(owner, nullptr);
    ASSERT_FALSE(while_open.empty());
    EXPECT_EQ(while_open.front(), "beep");
    EXPECT_GE(count_of(while_open, "IsConnected(\"PU2ABC\")"), 4) << "two ticks or more while Help was open";
    EXPECT_EQ(count_of(while_open, "IsConnected(\"PU2ABC\")"), int(while_open.size()) - 1);
    EXPECT_TRUE(IsWindowEnabled(main)) << "input given back once Help has gone";
    EXPECT_EQ(FindWindowW(L"RelinkaForm", L"Ajuda"), nullptr);
}

TEST(AuxiliaryWindows, AjudaShowsTheHelpTextAfreshAtEachOpening) {
    LoadedWindow loaded;
    std::wstring first, edited, second;
    {
        ModalDriver driver(L"Ajuda", [&](HWND help, ULONGLONG) {
            const HWND text = GetDlgItem(help, kAjudaText1);
            first = text_of(text);
            press(GetFocus(), VK_TAB);
            type(GetFocus(), L"PU2XYZ 73");
            edited = text_of(text);
            SendMessageW(GetDlgItem(help, kAjudaCommand1), BM_CLICK, 0, 0);
            return true;
        });
        loaded.click(kCommand3);
    }
    {
        ModalDriver driver(L"Ajuda", [&](HWND help, ULONGLONG) {
            second = text_of(GetDlgItem(help, kAjudaText1));
            SendMessageW(GetDlgItem(help, kAjudaCommand1), BM_CLICK, 0, 0);
            return true;
        });
        loaded.click(kCommand3);
    }
    EXPECT_EQ(first, kHelpText);
    EXPECT_NE(edited.find(L"PU2XYZ 73"), std::wstring::npos) << utf8(edited);
    EXPECT_EQ(second, kHelpText);
    EXPECT_EQ(loaded.trace, (Trace{"beep", "beep"}));
}

TEST(AuxiliaryWindows, CloseBoxClosesLikeRetornar) {
    LoadedWindow loaded;
    for (const auto& [caption, button] : {std::pair{L"Ajuda", kCommand3}, std::pair{L"Sobre", kSobre}}) {
        bool main_enabled = true;
        {
            ModalDriver driver(caption, [&](HWND window, ULONGLONG) {
                main_enabled = IsWindowEnabled(loaded.window.hwnd());
                SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                return true;
            });
            loaded.click(button);
        }
        EXPECT_FALSE(main_enabled) << utf8(caption);
        EXPECT_EQ(FindWindowW(L"RelinkaForm", caption), nullptr) << utf8(caption);
        EXPECT_TRUE(IsWindowEnabled(loaded.window.hwnd())) << utf8(caption);
    }
    EXPECT_TRUE(loaded.shell.calls.empty());
    EXPECT_FALSE(loaded.amigos.ended());
}

TEST(SobreAutoWindow, VisitarServidorCallsTheShellAtEachPressAndStaysOpen) {
    LoadedWindow loaded;
    HWND about = nullptr;
    size_t calls_after_first = 0;
    bool open_after_presses = false;
    {
        ModalDriver driver(L"Sobre", [&](HWND window, ULONGLONG) {
            about = window;
            press(GetFocus(), VK_TAB);  // to "Visitar Servidor  QX0QX"
            press(GetFocus(), VK_RETURN);
            calls_after_first = loaded.shell.calls.size();
            SendMessageW(GetDlgItem(window, kSobreCommand1), BM_CLICK, 0, 0);
            open_after_presses = IsWindowVisible(window) && !IsWindowEnabled(loaded.window.hwnd());
            press(GetDlgItem(window, kSobreRet), VK_SPACE);
            return true;
        });
        loaded.click(kSobre);
    }
    EXPECT_EQ(calls_after_first, 1u);
    EXPECT_TRUE(open_after_presses);
    ASSERT_EQ(loaded.shell.calls.size(), 2u);
    for (const RecordingShell::Call& call : loaded.shell.calls) {
        EXPECT_EQ(call.owner, about);
        EXPECT_EQ(call.operation, L"open");
        EXPECT_EQ(call.file, L"http://qx0qx.example:2000/");
        EXPECT_EQ(call.parameters, L"");
        EXPECT_EQ(call.directory, L"");
        EXPECT_EQ(call.show, 1);
    }
    EXPECT_FALSE(IsWindow(about));
    EXPECT_EQ(loaded.trace, Trace{"beep"});
}

// The shell is loaded at the first call, not at start-up: that call still reaches it.
TEST(WindowsDesktop, ShellExecuteRunsWhatItIsGiven) {
    const std::wstring folder = fresh_directory();
    WindowsDesktop desktop;
    desktop.shell_execute(nullptr, L"open", L"cmd.exe", L"/c echo aberto> sinal.txt", folder.c_str(),
                          SW_HIDE);
    EXPECT_TRUE(wait_until(
        [&] { return GetFileAttributesW((folder + L"\\sinal.txt").c_str()) != INVALID_FILE_ATTRIBUTES; },
        10000));
}

// Each opening once kept a copy of the About window's picture behind (46 KB): it was decoded from a
// stream that a reference too many kept alive.
TEST(SobreAutoWindow, OpeningItAgainAndAgainLeavesNothingBehind) {
    WindowsDesktop shell;
    const auto open_and_close = [&] { Shown<SobreAutoWindow, WindowsDesktop> shown(shell); };
    for (int opening = 0; opening < 5; ++opening) open_and_close();
    const ProcessCounters before = count_this_process();
    constexpr int kOpenings = 30;
    for (int opening = 0; opening < kOpenings; ++opening) open_and_close();
    const ProcessCounters after = count_this_process();
    EXPECT_EQ(after.gdi_objects, before.gdi_objects);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.kernel_handles, before.kernel_handles);
    EXPECT_LT(after.private_kib - before.private_kib, kOpenings * 4.0) << "KiB kept by the openings";
}

TEST(Animations, EmbeddedGifsPlayAsDrawn) {
    const struct {
        const char* name;
        int resource;
        unsigned width, height, frames, delay_ms, loop_count;
    } gifs[] = {
        {"banner tower", IDG_BANNER_TOWER, 35, 45, 10, 100, 9999},
        {"banner link", IDG_BANNER_LINK, 280, 120, 19, 70, 0},
        {"about mast", IDG_ABOUT_MAST, 120, 263, 7, 150, 0},
    };
    for (const auto& gif : gifs) {
        SCOPED_TRACE(gif.name);
        EXPECT_TRUE(is_gif89a(gif.resource));
        const AnimationFacts facts = read_animation(gif.resource);
        EXPECT_EQ(facts.width, gif.width);
        EXPECT_EQ(facts.height, gif.height);
        EXPECT_EQ(facts.delays_ms, std::vector<unsigned>(gif.frames, gif.delay_ms));
        EXPECT_EQ(facts.loop_count, gif.loop_count);
    }
}

// A picture is drawn when a good part of its control differs from the colour around it, and plays
// when what it shows changes as time passes.
void expect_playing(HWND control, COLORREF around, const char* name) {
    const std::vector<COLORREF> before = shown_by(control);
    const auto painted =
        std::count_if(before.begin(), before.end(), [&](COLORREF pixel) { return pixel != around; });
    EXPECT_GT(painted * 5, static_cast<long long>(before.size())) << name << ": mostly empty";
    bool changed = false;
    for (int wait = 0; wait < 20 && !changed; ++wait) {
        pump_for(50);
        changed = shown_by(control) != before;
    }
    EXPECT_TRUE(changed) << name << ": stands still";
}

TEST(Animations, PlayInTheirWindows) {
    {
        WindowsDesktop shell;
        Shown<SobreAutoWindow, WindowsDesktop> about(shell);
        expect_playing(about.window.control(kSobreAniGIF2), GetSysColor(COLOR_BTNFACE), "About mast");
    }
    LoadedWindow loaded;
    expect_playing(loaded.window.control(kAniGIF1), RGB(255, 255, 255), "banner tower");
    expect_playing(loaded.window.control(kAniGIF2), RGB(255, 255, 255), "banner link");
}

// Every frame of an animation control as its picture's frames show it, the first first.
std::vector<std::vector<COLORREF>> frames_of(HWND control, int resource, COLORREF around) {
    RECT area;
    GetClientRect(control, &area);
    const auto frames = AnimationFrames::of(resource, {area.right, area.bottom}, around);
    std::vector<std::vector<COLORREF>> shown;
    const WindowDc screen(nullptr);
    for (size_t frame = 0; frame < frames->count(); ++frame) {
        const UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
        const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), area.right, area.bottom));
        const SelectedObject selected(dc.get(), bitmap.get());
        frames->show(dc.get(), frame);
        shown.push_back(pixels_of(dc.get(), area.right, area.bottom));
    }
    return shown;
}

TEST(Animations, ShowEveryFrameInTurnAndStartAgainAfterTheLast) {
    LoadedWindow loaded;
    const HWND link = loaded.window.control(kAniGIF2);
    const auto frames = frames_of(link, IDG_BANNER_LINK, RGB(255, 255, 255));
    ASSERT_EQ(frames.size(), 19u);
    for (size_t frame = 1; frame < frames.size(); ++frame)
        EXPECT_NE(frames[frame], frames[frame - 1]) << "frame " << frame << " is the one before it";
    const auto shown = std::find(frames.begin(), frames.end(), shown_by(link));
    ASSERT_NE(shown, frames.end()) << "shows none of its frames";
    size_t expected = shown - frames.begin();
    for (size_t step = 0; step <= frames.size(); ++step) {
        SendMessageW(link, WM_TIMER, kAnimationFrameTimer, 0);
        expected = (expected + 1) % frames.size();
        EXPECT_EQ(shown_by(link), frames[expected]) << "step " << step;
    }
}

// A 32-bit canvas of `size`, and its pixels as they are.
class Canvas {
public:
    explicit Canvas(SIZE size) : size_(size), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO format{};
        format.bmiHeader = {sizeof format.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB};
        bitmap_.reset(CreateDIBSection(dc_.get(), &format, DIB_RGB_COLORS, &bits_, nullptr, 0));
        SelectObject(dc_.get(), bitmap_.get());
    }
    HDC dc() const { return dc_.get(); }
    std::vector<std::uint32_t> pixels() const {
        GdiFlush();
        const auto* first = static_cast<const std::uint32_t*>(bits_);
        return {first, first + size_.cx * size_.cy};
    }

private:
    SIZE size_;
    UniqueBitmap bitmap_;
    UniqueMemoryDc dc_;
    void* bits_ = nullptr;
};

// Every frame of an embedded animation drawn the plain way, into the whole of an area of `area` on
// `around`: scaled down to fit (never up) with bicubic interpolation, centred, with GDI+'s own classes.
std::vector<std::vector<std::uint32_t>> drawn_into_area(int resource, SIZE area, COLORREF around) {
    const HRSRC found =
        FindResourceW(nullptr, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(RT_GIF_ANIMATION));
    const auto stream =
        adopt(SHCreateMemStream(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))),
                                SizeofResource(nullptr, found)));
    gdiplus();
    Gdiplus::Image image(stream.Get());
    GUID time = Gdiplus::FrameDimensionTime;
    const double scale =
        std::min({1.0, double(area.cx) / image.GetWidth(), double(area.cy) / image.GetHeight()});
    const int width = int(image.GetWidth() * scale + 0.5), height = int(image.GetHeight() * scale + 0.5);
    const UniqueBrush fill(CreateSolidBrush(around));
    const RECT whole{0, 0, area.cx, area.cy};
    std::vector<std::vector<std::uint32_t>> frames;
    for (UINT frame = 0; frame < image.GetFrameCount(&time); ++frame) {
        image.SelectActiveFrame(&time, frame);
        const Canvas canvas(area);
        FillRect(canvas.dc(), &whole, fill.get());
        Gdiplus::Graphics graphics(canvas.dc());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.DrawImage(&image, (area.cx - width) / 2, (area.cy - height) / 2, width, height);
        graphics.Flush(Gdiplus::FlushIntentionSync);
        frames.push_back(canvas.pixels());
    }
    return frames;
}

// Frames are kept at the smaller of the picture's size and the area's, the margin painted apart: at every
// resolution, what they show is exactly the picture drawn into the whole area, pixel for pixel.
TEST(Animations, FramesKeptAtThePicturesSizeShowThePictureDrawnIntoTheWholeArea) {
    constexpr COLORREF kAround = RGB(12, 34, 56);
    std::vector<const ControlSpec*> animations;
    for (const ControlSpec& design : kAmigosControls)
        if (design.kind == ControlKind::Animation) animations.push_back(&design);
    for (const ControlSpec& design : kSobreAutoControls)
        if (design.kind == ControlKind::Animation) animations.push_back(&design);
    ASSERT_EQ(animations.size(), 3u);
    for (const int dpi : {96, 144, 192, 288}) {
        for (const ControlSpec* design : animations) {
            SCOPED_TRACE(::testing::Message()
                         << design->name << " (" << design->picture << ") at " << dpi << " dpi");
            const SIZE area{MulDiv(design->width, dpi, 1440), MulDiv(design->height, dpi, 1440)};
            const auto frames = AnimationFrames::of(design->picture, area, kAround);
            ASSERT_TRUE(frames);
            const SIZE kept = frames->frame_size();
            EXPECT_LE(kept.cx, std::min<LONG>(area.cx, frames->facts().width));
            EXPECT_LE(kept.cy, std::min<LONG>(area.cy, frames->facts().height));
            const auto expected = drawn_into_area(design->picture, area, kAround);
            ASSERT_EQ(frames->count(), expected.size());
            for (size_t frame = 0; frame < expected.size(); ++frame) {
                const Canvas shown(area);
                frames->show(shown.dc(), frame);
                const std::vector<std::uint32_t> pixels = shown.pixels();
                const auto differing =
                    std::inner_product(pixels.begin(), pixels.end(), expected[frame].begin(), 0,
                                       std::plus<>(), std::not_equal_to<>());
                EXPECT_EQ(differing, 0) << "pixels that differ in frame " << frame;
            }
        }
    }
}

TEST(Animations, RestWhileTheirWindowIsMinimizedAndGoOnFromTheFrameTheyShowed) {
    LoadedWindow loaded;
    const HWND link = loaded.window.control(kAniGIF2);
    const std::vector<COLORREF> before = shown_by(link);
    ShowWindow(loaded.window.hwnd(), SW_MINIMIZE);
    pump_for(1000);  // fourteen frames of 70 ms, were it playing
    ShowWindow(loaded.window.hwnd(), SW_RESTORE);
    EXPECT_EQ(shown_by(link), before) << "frames went on while minimized";
    expect_playing(link, RGB(255, 255, 255), "banner link, restored");
}

// An animation that rested goes on from the frame it showed: the next picture it shows is the frame
// after `shown` among `frames`.
void expect_goes_on_from(HWND control, const std::vector<std::vector<COLORREF>>& frames,
                         const std::vector<COLORREF>& shown, const char* name) {
    const auto at = std::find(frames.begin(), frames.end(), shown);
    ASSERT_NE(at, frames.end()) << name << " shows none of its frames";
    std::vector<COLORREF> now = shown;
    EXPECT_TRUE(wait_until([&] { return (now = shown_by(control)) != shown; }, 2000))
        << name << " stands still";
    EXPECT_EQ(now, frames[(at - frames.begin() + 1) % frames.size()])
        << name << " did not go on from its frame";
}

// What Windows tells the main window when nobody can see the screen any more, and when somebody can again.
struct ScreenNotice {
    const char* what;
    UINT message;
    WPARAM unseen, seen;  // a session change; a power setting's new state when `setting` is given
    const GUID* setting = nullptr;
};
constexpr GUID kConsoleDisplayState{
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
constexpr ScreenNotice kSessionLocked{"session locked", WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK,
                                      WTS_SESSION_UNLOCK};
constexpr ScreenNotice kDisplayOff{"display off", WM_POWERBROADCAST, 0, 1, &kConsoleDisplayState};
constexpr ScreenNotice kScreenNotices[] = {
    kSessionLocked,
    {"session disconnected", WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, WTS_CONSOLE_CONNECT},
    {"remote session disconnected", WM_WTSSESSION_CHANGE, WTS_REMOTE_DISCONNECT, WTS_REMOTE_CONNECT},
    kDisplayOff,
    {"monitor off (Windows 7)", WM_POWERBROADCAST, 0, 1, &kMonitorPowerOn},
};

void tell(HWND window, const ScreenNotice& notice, bool seen) {
    const WPARAM state = seen ? notice.seen : notice.unseen;
    if (!notice.setting) {
        SendMessageW(window, notice.message, state, 0);
        return;
    }
    std::vector<BYTE> buffer(sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD));
    auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer.data());
    setting->PowerSetting = *notice.setting;
    setting->DataLength = sizeof(DWORD);
    const DWORD value = static_cast<DWORD>(state);
    std::memcpy(setting->Data, &value, sizeof value);
    SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(setting));
}

// While the session is locked or disconnected, or the display off, no animation brings a frame, About's
// included (the main window is told, About is not); told the screen is seen again, each goes on from the
// frame it showed.
TEST(Animations, RestWhileNobodySeesTheScreenAndGoOnFromTheFrameTheyShowed) {
    LoadedWindow loaded;
    WindowsDesktop shell;
    Shown<SobreAutoWindow, WindowsDesktop> about(shell);
    const struct {
        const char* name;
        HWND control;
        std::vector<std::vector<COLORREF>> frames;
    } animations[] = {
        {"banner link", loaded.window.control(kAniGIF2),
         frames_of(loaded.window.control(kAniGIF2), IDG_BANNER_LINK, RGB(255, 255, 255))},
        {"About mast", about.window.control(kSobreAniGIF2),
         frames_of(about.window.control(kSobreAniGIF2), IDG_ABOUT_MAST, GetSysColor(COLOR_BTNFACE))},
    };
    for (const ScreenNotice& notice : kScreenNotices) {
        SCOPED_TRACE(notice.what);
        tell(loaded.window.hwnd(), notice, false);
        std::vector<std::vector<COLORREF>> shown;
        for (const auto& animation : animations) shown.push_back(shown_by(animation.control));
        for (int look = 0; look < 8; ++look) {  // about 1 s: fourteen frames of the link, six of the mast
            pump_for(125);
            for (size_t i = 0; i < std::size(animations); ++i)
                EXPECT_EQ(shown_by(animations[i].control), shown[i])
                    << animations[i].name << " brought a frame";
        }
        tell(loaded.window.hwnd(), notice, true);
        for (size_t i = 0; i < std::size(animations); ++i)
            expect_goes_on_from(animations[i].control, animations[i].frames, shown[i], animations[i].name);
    }
}

// The screen is seen only when nothing says otherwise: unlocked with the display still off, the
// animations rest on.
TEST(Animations, RestUntilTheSessionIsUnlockedAndTheDisplayOn) {
    LoadedWindow loaded;
    const HWND link = loaded.window.control(kAniGIF2);
    const auto frames = frames_of(link, IDG_BANNER_LINK, RGB(255, 255, 255));
    tell(loaded.window.hwnd(), kSessionLocked, false);
    tell(loaded.window.hwnd(), kDisplayOff, false);
    const std::vector<COLORREF> shown = shown_by(link);
    tell(loaded.window.hwnd(), kSessionLocked, true);
    pump_for(500);
    EXPECT_EQ(shown_by(link), shown) << "played with the display off";
    tell(loaded.window.hwnd(), kDisplayOff, true);
    expect_goes_on_from(link, frames, shown, "banner link");
}

// Nobody sees a hidden window's pictures either: About hidden rests, and shown again goes on from the
// frame it showed.
TEST(Animations, RestWhileTheirWindowIsHiddenAndGoOnFromTheFrameTheyShowed) {
    WindowsDesktop shell;
    Shown<SobreAutoWindow, WindowsDesktop> about(shell);
    const HWND mast = about.window.control(kSobreAniGIF2);
    const auto frames = frames_of(mast, IDG_ABOUT_MAST, GetSysColor(COLOR_BTNFACE));
    const std::vector<COLORREF> before = shown_by(mast);
    ShowWindow(about.window.hwnd(), SW_HIDE);
    pump_for(400);  // two or three frames of 150 ms were it playing, far from the 7 that come round again
    ShowWindow(about.window.hwnd(), SW_SHOW);
    EXPECT_EQ(shown_by(mast), before) << "frames went on while hidden";
    expect_goes_on_from(mast, frames, before, "About mast");
}

// Given another size (another DPI, say), an animation makes its frames again for its new area: the
// picture fitted and centred there, the margin around it painted; and it plays on.
TEST(Animations, MakeTheirFramesAgainForANewSize) {
    LoadedWindow loaded;
    const HWND tower = loaded.window.control(kAniGIF1);
    RECT area;
    GetClientRect(tower, &area);
    // Smaller, so that nothing beside it covers what the test reads off the screen.
    SetWindowPos(tower, nullptr, 0, 0, area.right / 2, area.bottom / 2, SWP_NOMOVE | SWP_NOZORDER);
    const auto frames = frames_of(tower, IDG_BANNER_TOWER, RGB(255, 255, 255));
    ASSERT_EQ(frames.front().size(), size_t(area.right / 2 * (area.bottom / 2)));
    EXPECT_NE(std::find(frames.begin(), frames.end(), shown_by(tower)), frames.end())
        << "shows none of its frames at the new size";
    expect_playing(tower, RGB(255, 255, 255), "banner tower, resized");
}

// The system's colours changed: the colour around the picture is the form's new one, in the margin
// and under the picture's transparent pixels alike. (Windows tells the top-level windows; a form hands
// WM_SYSCOLORCHANGE on to its controls.)
TEST(Animations, MakeTheirFramesAgainOnTheSystemsNewColours) {
    WindowsDesktop shell;
    Shown<SobreAutoWindow, WindowsDesktop> about(shell);
    const HWND mast = about.window.control(kSobreAniGIF2);
    const int face = COLOR_BTNFACE;
    const COLORREF was = GetSysColor(face), now = RGB(200, 100, 50);
    ASSERT_TRUE(SetSysColors(1, &face, &now));
    SendMessageW(mast, WM_SYSCOLORCHANGE, 0, 0);
    pump_for(300);
    const auto frames = frames_of(mast, IDG_ABOUT_MAST, now);
    const std::vector<COLORREF> shown = shown_by(mast);
    SetSysColors(1, &face, &was);
    EXPECT_NE(std::find(frames.begin(), frames.end(), shown), frames.end())
        << "does not show its frames on the new colour";
    EXPECT_EQ(shown.front(), now) << "the margin keeps the old colour";
}

// A picture whose bytes cannot be decoded, and one whose frames cannot be held in memory at the size
// of its area: both leave the area blank, with a trace line that says why, and the program goes on.
TEST(Animations, APictureThatCannotBeHadLeavesItsAreaBlank) {
    ASSERT_TRUE(
        FindResourceW(nullptr, MAKEINTRESOURCEW(IDG_DAMAGED_PICTURE), MAKEINTRESOURCEW(RT_GIF_ANIMATION)))
        << "the damaged picture is not embedded";
    register_animation_class();
    const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    const struct {
        const char* name;
        int resource;
        int size;
        const char* traced;
    } pictures[] = {
        {"damaged", IDG_DAMAGED_PICTURE, 60,
         "relinka: animation: decoding its picture, so its area stays blank: 0x"},
        {"too large", IDG_OVERSIZED_PICTURE, 30'000,
         "relinka: animation: its frames would take more than 256 MiB, so its area stays blank: "
         "0x8007000E\n"},
    };
    for (const auto& picture : pictures) {
        const DebugOutput debug_output;
        ASSERT_TRUE(debug_output.reading());
        const HWND control = CreateWindowExW(
            0, kAnimationClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, picture.size, picture.size, parent, nullptr,
            GetModuleHandleW(nullptr), reinterpret_cast<void*>(static_cast<INT_PTR>(picture.resource)));
        pump_for(300);
        ASSERT_TRUE(IsWindow(control)) << picture.name;
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const std::vector<COLORREF> shown = pixels_of(WindowDc(control).get(), 60, 60);
        EXPECT_EQ(std::count(shown.begin(), shown.end(), GetSysColor(COLOR_BTNFACE)), 60 * 60)
            << picture.name;
        EXPECT_TRUE(wait_until(
            [&] {
                return debug_output.text(GetCurrentProcessId()).find(picture.traced) != std::string::npos;
            },
            2000))
            << picture.name << ": " << debug_output.text(GetCurrentProcessId());
        DestroyWindow(control);
    }
    DestroyWindow(parent);
}

TEST(AuxiliaryWindows, Screenshots) {
    {
        Shown<AjudaWindow> shown;
        save_screenshot(shown.window.hwnd(), L"ajuda.png");
    }
    {
        WindowsDesktop shell;
        Shown<SobreAutoWindow, WindowsDesktop> shown(shell);
        pump_for(400);  // a few frames of the mast
        save_screenshot(shown.window.hwnd(), L"sobre_auto.png");
    }
    {
        LoadedWindow loaded;
        pump_for(600);  // the banner's pictures under way
        save_screenshot(loaded.window.hwnd(), L"amigos_pictures.png");
    }
    EXPECT_NE(GetFileAttributesW(L"screenshots\\ajuda.png"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(L"screenshots\\sobre_auto.png"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(L"screenshots\\amigos_pictures.png"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace relinka::testing
