// What a screen reader hears of the three windows: every control the Tab key reaches named and of its
// role, the status labels and the indicator named for what they show, and a station's change of state
// announced once. Windows' own proxies are played by Wine's oleacc, read as a screen reader reads them;
// Wine 8 refuses every annotation, so what the program annotates is read from what it asked for.
#include <windows.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

#include "loaded_window.h"
#include "modal_driver.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"

namespace relinka::testing {
namespace {

struct Heard {
    std::wstring name;
    LONG role;
    bool operator==(const Heard&) const = default;
};
void PrintTo(const Heard& heard, std::ostream* out) {
    *out << '"' << utf8(heard.name) << "\" " << heard.role;
}

constexpr LONG kButton = ROLE_SYSTEM_PUSHBUTTON, kTextBox = ROLE_SYSTEM_TEXT,
               kCheckBox = ROLE_SYSTEM_CHECKBUTTON;

// What the program annotated and, where it annotated nothing, what the system's proxy says.
Heard heard(HWND control, const RecordedAnnotations& annotated) {
    Heard heard{L"", 0};
    ComPtr<IAccessible> accessible;
    VARIANT self{}, role{};
    self.vt = VT_I4;  // CHILDID_SELF
    UniqueBstr name;
    if (SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_PPV_ARGS(&accessible)))) {
        if (accessible->get_accName(self, name.put()) == S_OK && name) heard.name = name.get();
        if (SUCCEEDED(accessible->get_accRole(self, &role))) heard.role = role.lVal;
    }
    if (const auto found = annotated.controls.find(control); found != annotated.controls.end()) {
        heard.name = found->second.name.value_or(heard.name);
        heard.role = found->second.role.value_or(heard.role);
    }
    return heard;
}

// From the focused control, every one the Tab key reaches, in order.
std::vector<Heard> heard_in_tab_order(const RecordedAnnotations& annotated) {
    std::vector<Heard> heard_so_far;
    const HWND first = GetFocus();
    HWND control = first;
    do {
        heard_so_far.push_back(heard(control, annotated));
        control = GetNextDlgTabItem(GetParent(first), control, FALSE);
    } while (control && control != first && heard_so_far.size() < 100);
    return heard_so_far;
}

TEST(ScreenReader, EveryControlOfTheMainWindowIsNamedInTabOrder) {
    ComApartment apartment;
    LoadedWindow loaded;
    std::vector<Heard> expected;  // in tab order
    const auto then = [&](std::initializer_list<const wchar_t*> names, LONG role) {
        for (const wchar_t* name : names) expected.push_back({name, role});
    };
    then({L"Encerrar"}, kButton);
    then({L"Estação amiga 1", L"Estação amiga 2", L"Estação amiga 3", L"Estação amiga 4", L"Estação amiga 5",
          L"Estação amiga 6"},
         kTextBox);
    then({L"conecta 1", L"conecta 2", L"conecta 3", L"conecta 4", L"conecta 5", L"conecta 6"}, kCheckBox);
    then({L"Estação amiga 7", L"Estação amiga 8"}, kTextBox);
    then({L"conecta 7", L"conecta 8"}, kCheckBox);
    then({L"Estação a desconectar"}, kTextBox);
    then({L"Desconectar amigo", L"Ler amigos", L"Gravar amigos", L"Sobre", L"Ajuda", L"Desliga", L"Liga",
          L"Desconecta todos"},
         kButton);
    EXPECT_EQ(heard_in_tab_order(loaded.annotated), expected);

    for (int slot = 1; slot <= kSlots + 1; ++slot) {  // the eight status labels, and the indicator
        const HWND control = loaded.window.control(slot <= kSlots ? kLabel1 + slot - 1 : kShape1);
        const Heard wanted = slot <= kSlots ? Heard{L"Estação " + std::to_wstring(slot) + L": sem estado",
                                                    ROLE_SYSTEM_STATICTEXT}
                                            : Heard{L"Supervisão ligada", ROLE_SYSTEM_GRAPHIC};
        EXPECT_EQ(heard(control, loaded.annotated), wanted);
        EXPECT_TRUE(loaded.annotated.controls[control].live) << utf8(wanted.name);
    }
}

// Nothing is asked of the system before the first paint; what is asked once the window has shown
// starts from what the controls show then.
TEST(ScreenReader, TheControlsAreDescribedOnlyOnceTheWindowHasShown) {
    RecordingShell shell;
    RecordedAnnotations annotated;
    AmigosWindow window(shell, annotated);
    ASSERT_TRUE(window.create());
    window.SetTimerEnabled(true);
    window.SetLabel(2, L"conectado");
    window.show();
    EXPECT_TRUE(annotated.controls.empty());
    pump_for(100);
    EXPECT_EQ(annotated.controls[window.control(kLabel1 + 1)].name, L"Estação 2: conectado");
    EXPECT_EQ(annotated.controls[window.control(kShape1)].name, L"Supervisão ligada");
}

// The controls that raise a live-region event, as a screen reader outside the process receives them,
// and those whose caption is written.
std::vector<HWND> spoken, written;
void CALLBACK on_live_region_changed(HWINEVENTHOOK, DWORD, HWND control, LONG, LONG, DWORD, DWORD) {
    spoken.push_back(control);
}
LRESULT CALLBACK on_message(int code, WPARAM wparam, LPARAM lparam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && message->message == WM_SETTEXT) written.push_back(message->hwnd);
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
// Those since the last call.
std::vector<HWND> spoken_now() {
    pump_for(100);
    written.clear();
    return std::exchange(spoken, {});
}

TEST(ScreenReader, AStationsChangeOfStateIsAnnouncedOnceAndATickThatChangesNothingSaysNothing) {
    LoadedWindow loaded;
    const HWINEVENTHOOK events =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        on_live_region_changed, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    const HHOOK messages = SetWindowsHookExW(WH_CALLWNDPROC, on_message, nullptr, GetCurrentThreadId());
    const HWND indicator = loaded.window.control(kShape1), label = loaded.window.control(kLabel1);
    loaded.click(kCommand4);  // "Desliga": from here on the test runs the ticks itself
    EXPECT_EQ(spoken_now(), std::vector{indicator});
    EXPECT_EQ(loaded.annotated.controls[indicator].name, L"Supervisão desligada");

    loaded.window.SetText(1, L"PU2ABC");
    loaded.window.SetCheck(1, 1);
    loaded.station.connected = {L"PU2ABC"};
    loaded.amigos.Timer1_Timer();  // the other slots go from no caption to a blank one: no status either way
    EXPECT_EQ(spoken_now(), std::vector{label});
    EXPECT_EQ(loaded.annotated.controls[label].name, L"Estação 1: conectado");
    loaded.amigos.Timer1_Timer();
    pump_for(100);
    EXPECT_TRUE(spoken.empty());
    for (int slot = 1; slot <= kSlots; ++slot)  // which Windows would tell screen readers of
        EXPECT_EQ(std::count(written.begin(), written.end(), loaded.window.control(kLabel1 + slot - 1)), 0)
            << slot;

    loaded.station.connected.clear();  // the station drops, and does not come back at once
    loaded.station.connect_brings_up = false;
    loaded.amigos.Timer1_Timer();
    EXPECT_EQ(spoken_now(), std::vector{label});
    EXPECT_EQ(loaded.annotated.controls[label].name, L"Estação 1: desconectado");
    loaded.station.connect_brings_up = true;
    loaded.amigos.Timer1_Timer();
    EXPECT_EQ(spoken_now(), std::vector{label});
    loaded.click(kCommand5);  // "Liga"
    EXPECT_EQ(spoken_now(), std::vector{indicator});
    EXPECT_EQ(loaded.annotated.controls[indicator].name, L"Supervisão ligada");
    UnhookWinEvent(events);
    UnhookWindowsHookEx(messages);
}

// Opened from the main window, as the operator opens them; what they were described as goes with them.
TEST(ScreenReader, HelpAndAboutAreNamedInTabOrderAndForgottenOnceClosed) {
    ComApartment apartment;
    LoadedWindow loaded;
    const struct {
        const wchar_t* caption;
        int opened_by;
        std::vector<Heard> expected;
    } windows[] = {
        {L"Ajuda", kCommand3, {{L"Retornar", kButton}, {L"Texto da ajuda", kTextBox}}},
        {L"Sobre", kSobre, {{L"Retornar", kButton}, {L"Visitar Servidor  QX0QX", kButton}}},
    };
    for (const auto& window : windows) {
        const size_t annotated_before = loaded.annotated.controls.size();
        std::vector<Heard> heard;
        size_t annotated_while_open = 0;
        {
            ModalDriver driver(window.caption, [&](HWND, ULONGLONG elapsed) {
                heard = heard_in_tab_order(loaded.annotated);
                annotated_while_open = loaded.annotated.controls.size();
                return elapsed >= 200;
            });
            loaded.click(window.opened_by);
        }
        EXPECT_EQ(heard, window.expected) << utf8(window.caption);
        EXPECT_GT(annotated_while_open, annotated_before) << utf8(window.caption);
        EXPECT_EQ(loaded.annotated.controls.size(), annotated_before) << utf8(window.caption);
    }
}

}  // namespace
}  // namespace relinka::testing
