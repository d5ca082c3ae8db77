// The Help and About windows as Windows builds them, and opened from the main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/loaded_window.h"
#include "support/modal_driver.h"
#include "support/process_counters.h"
#include "support/relinka_process.h"
#include "support/window_checks.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"
#include "winlib/contrast.h"

namespace relinka::testing {
namespace {

void type(HWND focus, const wchar_t* text) {
    for (; *text; ++text) {
        MSG message{focus, WM_CHAR, static_cast<WPARAM>(*text), 0};
        dispatch_message(message);
    }
}

const ExpectedWindow kAjudaWindow{L"Ajuda", 412, 319, true, true, true, IDI_AJUDA};
const ExpectedWindow kSobreWindow{L"Sobre", 312, 377, false, false, false, IDI_SOBRE_WINDOW};

// A control's place worked out by hand, in pixels at 96 dpi.
void expect_place(const Form& form, int id, RECT expected) {
    const RECT rect = client_rect_of(form.control(id));
    EXPECT_TRUE(EqualRect(&rect, &expected)) << "control " << id << " at " << rect.left << "," << rect.top
                                             << " to " << rect.right << "," << rect.bottom;
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

TEST(AjudaWindow, IsTheFormOfItsTable) {
    Shown<AjudaWindow> shown;
    const AjudaWindow& window = shown.window;
    ASSERT_EQ(window.dpi(), 96);
    expect_window(window.hwnd(), kAjudaWindow);
    expect_controls_as_in_table(window, kAjudaControls);
    expect_place(window, kAjudaText1, {24, 64, 393, 225});
    expect_place(window, kAjudaCommand1, {304, 240, 393, 305});
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
    Shell shell;
    Shown<SobreAutoWindow, Shell> shown(shell);
    const SobreAutoWindow& window = shown.window;
    ASSERT_EQ(window.dpi(), 96);
    expect_window(window.hwnd(), kSobreWindow);
    // The callsign's label is narrower than the callsign at its size, as the window was designed.
    expect_controls_as_in_table(window, kSobreAutoControls, {kSobreLabel5});
    expect_place(window, kSobreLabel5, {96, 120, 193, 161});
    expect_place(window, kSobreLine2, {8, 200, 304, 201});
    expect_place(window, kSobreCommand1, {16, 288, 169, 361});
    EXPECT_EQ(text_of(window.control(kSobreLabel4)), L"Vers\u00E3o 3.0  Revis\u00E3o 1  -  10/2008");
    EXPECT_EQ(text_of(window.control(kSobreLabel2)), L"Uma cria\u00E7\u00E3o de Fulano de Tal");
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
        Shell shell;
        Shown<SobreAutoWindow, Shell> shown(shell);
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
TEST(Shell, ExecuteRunsWhatItIsGiven) {
    const std::wstring folder = fresh_directory();
    Shell shell;
    shell.execute(nullptr, L"open", L"cmd.exe", L"/c echo aberto> sinal.txt", folder.c_str(), SW_HIDE);
    EXPECT_TRUE(wait_until(
        [&] { return GetFileAttributesW((folder + L"\\sinal.txt").c_str()) != INVALID_FILE_ATTRIBUTES; },
        10000));
}

// Each opening once kept a copy of the About window's picture behind (46 KB): it was decoded from a
// stream that a reference too many kept alive.
TEST(SobreAutoWindow, OpeningItAgainAndAgainLeavesNothingBehind) {
    Shell shell;
    const auto open_and_close = [&] { Shown<SobreAutoWindow, Shell> shown(shell); };
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

TEST(AuxiliaryWindows, Screenshots) {
    {
        Shown<AjudaWindow> shown;
        save_screenshot(shown.window.hwnd(), L"ajuda.png");
    }
    {
        Shell shell;
        Shown<SobreAutoWindow, Shell> shown(shell);
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
