// The window "Histórico de conexões" and the taskbar button's state, in the program's own process: the
// main window built as relinka.exe builds it, its handlers on fakes of the desktop and EchoLink, watched
// by the connection history, which writes to a folder of the test's own and tells a recording taskbar.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

#include "app/connection_history_win.h"
#include "core/fakes.h"
#include "history/windows_clock_win.h"
#include "support/fake_annotation_service.h"
#include "support/fake_taskbar_list.h"
#include "support/relinka_process.h"
#include "support/window_checks.h"
#include "support/wine_support.h"

namespace relinka::testing {
namespace {

std::wstring cell(HWND table, int row, int column) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(table, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

// Slot 1's station connected, slot 2's refused, both ticked from amigos.txt; the ticks come from the
// window's timer while the test waits, each at once (the fake desktop does not sleep).
struct WatchedWindow {
    WatchedWindow() {
        EXPECT_TRUE(window.create()) << "the main window was not made";
        history = std::make_unique<ConnectionHistory>(
            window.hwnd(), folder, clock, taskbar->maker(), annotations, system_screen(),
            [this](const std::wstring& file, HWND, UINT) { opened.push_back(file); });
        window.follow_with(*history);
        window.attach(amigos);
        amigos.observe_with(history->observer());
        desktop.files[L"amigos.txt"] = "PU2ABC\r\nPU2XYZ\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
        station.connected = {L"PU2ABC"};
        station.connect_brings_up = false;
        amigos.Form_Load();
        window.show();
        SetForegroundWindow(window.hwnd());
    }
    ~WatchedWindow() { history->finish(5000); }

    HWND open_from_the_system_menu() {
        SendMessageW(window.hwnd(), WM_SYSCOMMAND, kShowHistory, 0);
        pump_for(300);  // its controls described, its first paint
        return history->window() ? history->window()->hwnd() : nullptr;
    }
    HWND control(int id) const { return history->window()->control(id); }
    bool shows(int table, int row, int column, const std::wstring& text) {
        return wait_until([&] { return history->window() && cell(control(table), row, column) == text; },
                          5000);
    }

    Trace trace;
    FakeDesktop desktop{trace};
    SystemDesktop boxes;
    Shell shell;
    ComPtr<FakeAnnotationService> service = FakeAnnotationService::make();
    Annotations annotations{service->maker()};
    AmigosWindow window{boxes, shell, annotations};
    FakeEchoLink::Station station;
    ComPtr<FakeTaskbarList> taskbar = FakeTaskbarList::make();
    WindowsClock clock;
    std::wstring folder = fresh_directory();
    std::vector<std::wstring> opened;
    std::unique_ptr<ConnectionHistory> history;
    Amigos amigos{window, desktop, [this](std::function<void()>) -> std::unique_ptr<EchoLink> {
                      return std::make_unique<FakeEchoLink>(trace, station);
                  }};
};

TEST(HistoryWindow, OpensFromTheSystemMenuAndFollowsTheSupervision) {
    WatchedWindow rig;
    const HMENU menu = GetSystemMenu(rig.window.hwnd(), FALSE);
    int item = 0;
    while (item < GetMenuItemCount(menu) && GetMenuItemID(menu, item) != kShowHistory) ++item;
    wchar_t caption[64] = {};
    GetMenuStringW(menu, item, caption, 64, MF_BYPOSITION);
    EXPECT_STREQ(caption, L"&Histórico de conexões...");
    EXPECT_EQ(GetMenuState(menu, item + 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(menu, item + 2), static_cast<UINT>(SC_CLOSE)) << "the item goes above Fechar";

    const HWND shown = rig.open_from_the_system_menu();
    ASSERT_TRUE(shown);
    EXPECT_EQ(text_of(shown), L"Histórico de conexões");
    EXPECT_TRUE(IsWindowVisible(shown));
    EXPECT_TRUE(IsWindowEnabled(rig.window.hwnd())) << "modeless: the main window still takes input";
    EXPECT_EQ(rig.open_from_the_system_menu(), shown) << "one at a time";
    ASSERT_TRUE(rig.history->window());
    expect_controls_as_in_table(*rig.history->window(), kHistoricoControls, {}, {kHistoricoFileState});

    EXPECT_TRUE(rig.shows(kHistoricoStations, 1, 2, L"desconectado"));
    const Row first = {L"1", L"PU2ABC", L"conectado"};
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(cell(rig.control(kHistoricoStations), 0, column), first[column]);
    EXPECT_EQ(cell(rig.control(kHistoricoStations), 0, 4), L"há menos de 1 min");
    EXPECT_EQ(cell(rig.control(kHistoricoStations), 1, 1), L"PU2XYZ");
    // Newest first; the ticks since wrote nothing, for nothing changed.
    EXPECT_EQ(cell(rig.control(kHistoricoEvents), 0, 3), L"desconectado");
    EXPECT_EQ(cell(rig.control(kHistoricoEvents), 0, 2), L"PU2XYZ");
    EXPECT_EQ(cell(rig.control(kHistoricoEvents), 1, 3), L"conectado");
    EXPECT_EQ(cell(rig.control(kHistoricoEvents), 2, 3), L"iniciado supervisionando PU2ABC, PU2XYZ");
    EXPECT_TRUE(wait_until(
        [&] { return text_of(rig.control(kHistoricoFileState)).starts_with(L"Os eventos são gravados"); },
        5000));

    rig.station.connected.clear();  // PU2ABC drops, and stays down
    EXPECT_TRUE(rig.shows(kHistoricoStations, 0, 2, L"desconectado"));
    EXPECT_TRUE(rig.shows(kHistoricoEvents, 0, 2, L"PU2ABC"));
    EXPECT_EQ(cell(rig.control(kHistoricoStations), 0, 5), L"1") << "one drop";
    SendMessageW(rig.window.control(kCommand4), BM_CLICK, 0, 0);  // "Desliga"
    EXPECT_TRUE(rig.shows(kHistoricoEvents, 0, 3, L"desliga"));

    // Set once each time it changed, and once more when Explorer makes the button again.
    const std::vector<std::wstring> set{
        L"ThumbBarAddButtons(528, Histórico de conexões, icon)",
        L"SetOverlayIcon(none, 0 de 2 estações conectadas)",
        L"SetThumbnailTooltip(Relinka: 0 de 2 estações conectadas)",
        L"SetOverlayIcon(none, 1 de 2 estações conectadas)",
        L"SetThumbnailTooltip(Relinka: 1 de 2 estações conectadas)",
        L"SetOverlayIcon(mark, 1 de 2 estações conectadas)",
        L"SetThumbnailTooltip(Relinka: 1 de 2 estações conectadas)",
        L"SetOverlayIcon(mark, 0 de 2 estações conectadas)",
        L"SetThumbnailTooltip(Relinka: 0 de 2 estações conectadas)",
        L"SetOverlayIcon(mark, supervisão desligada)",
        L"SetThumbnailTooltip(Relinka: supervisão desligada)",
    };
    EXPECT_EQ(rig.taskbar->calls, set);
    SendMessageW(rig.window.hwnd(), RegisterWindowMessageW(L"TaskbarButtonCreated"), 0, 0);
    const std::vector<std::wstring> again(rig.taskbar->calls.begin() + set.size(), rig.taskbar->calls.end());
    EXPECT_EQ(again, (std::vector<std::wstring>{set[0], set[9], set[10]}));

    // The thumbnail's button opens it again once closed.
    DestroyWindow(shown);
    EXPECT_FALSE(rig.history->window());
    SendMessageW(rig.window.hwnd(), WM_COMMAND, MAKEWPARAM(kShowHistory, THBN_CLICKED), 0);
    EXPECT_TRUE(rig.history->window());
}

TEST(HistoryWindow, WorksByKeyboardIsNamedCopiesOpensTheFileAndScales) {
    WatchedWindow rig;
    const HWND shown = rig.open_from_the_system_menu();
    ASSERT_TRUE(shown);
    EXPECT_EQ(rig.service->of(rig.control(kHistoricoStations)).name, L"Estações supervisionadas");
    EXPECT_EQ(rig.service->of(rig.control(kHistoricoEvents)).name, L"Eventos");
    EXPECT_EQ(rig.service->of(rig.control(kHistoricoCopiar)).role, ROLE_SYSTEM_PUSHBUTTON);

    EXPECT_EQ(GetFocus(), rig.control(kHistoricoStations));
    for (const int next :
         {kHistoricoEvents, kHistoricoCopiar, kHistoricoAbrir, kHistoricoFechar, kHistoricoStations}) {
        press(GetFocus(), VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), next);
    }

    ASSERT_TRUE(rig.shows(kHistoricoStations, 0, 2, L"conectado"));
    SendMessageW(rig.control(kHistoricoCopiar), BM_CLICK, 0, 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    const auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    const std::wstring text = copied ? copied : L"";
    if (copied) GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
    EXPECT_TRUE(text.starts_with(L"Nº\tEstação\tEstado\t")) << text;
    EXPECT_TRUE(contains(text, L"1\tPU2ABC\tconectado\t")) << text;
    EXPECT_TRUE(contains(text, L"\t1\tPU2ABC\tconectado\r\n")) << text;

    SendMessageW(rig.control(kHistoricoAbrir), BM_CLICK, 0, 0);
    EXPECT_EQ(rig.opened, (std::vector<std::wstring>{rig.folder + L"\\historico.txt"}));

    // Moved to a monitor at 144 dpi, the columns grow with the font.
    RECT suggested;
    GetWindowRect(shown, &suggested);
    const LRESULT at_96 = SendMessageW(rig.control(kHistoricoEvents), LVM_GETCOLUMNWIDTH, 0, 0);
    SendMessageW(shown, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_NEAR(SendMessageW(rig.control(kHistoricoEvents), LVM_GETCOLUMNWIDTH, 0, 0), at_96 * 1.5, 1);

    press(GetFocus(), VK_ESCAPE);
    EXPECT_FALSE(rig.history->window());
    EXPECT_TRUE(IsWindow(rig.window.hwnd()));
}

}  // namespace
}  // namespace relinka::testing
