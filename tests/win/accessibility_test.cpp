// What a screen reader hears of the three windows. What the program asks the annotation service to
// tell of the controls is read from a recording service: every control the Tab key reaches of its role,
// those whose caption does not say what they are named, the status labels and the indicator named for
// what they show and live regions, and a station's change of state announced once. Apart from that, what
// Windows' own proxies (played by Wine's oleacc) say of the controls the program leaves unnamed, read as
// a screen reader reads it.
#include <windows.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "support/loaded_window.h"
#include "support/modal_driver.h"
#include "windows/ajuda_win.h"
#include "windows/sobre_auto_win.h"

namespace relinka::testing {

using Annotated = FakeAnnotationService::Annotated;
void PrintTo(const Annotated& annotated, std::ostream* out) {
    *out << '{' << (annotated.name ? '"' + utf8(*annotated.name) + '"' : "no name") << ", role "
         << annotated.role.value_or(0) << ", live " << annotated.live_setting.value_or(0) << '}';
}

namespace {

constexpr LONG kButton = ROLE_SYSTEM_PUSHBUTTON, kTextBox = ROLE_SYSTEM_TEXT,
               kCheckBox = ROLE_SYSTEM_CHECKBUTTON;

// From the focused control, every one the Tab key reaches, in order.
std::vector<HWND> tab_order() {
    std::vector<HWND> controls;
    const HWND first = GetFocus();
    HWND control = first;
    do {
        controls.push_back(control);
        control = GetNextDlgTabItem(GetParent(first), control, FALSE);
    } while (control && control != first && controls.size() < 100);
    return controls;
}

// What the program asked the service to say of each control the Tab key reaches.
std::vector<Annotated> asked_in_tab_order(const ComPtr<FakeAnnotationService>& service) {
    std::vector<Annotated> asked;
    for (const HWND control : tab_order()) asked.push_back(service->of(control));
    return asked;
}

// The name the system's proxy gives each control the Tab key reaches that the program left unnamed
// ("" for none).
std::vector<std::wstring> proxy_names_of_the_unnamed(const ComPtr<FakeAnnotationService>& service) {
    std::vector<std::wstring> names;
    for (const HWND control : tab_order()) {
        if (service->of(control).name) continue;
        ComPtr<IAccessible> accessible;
        VARIANT self{};
        self.vt = VT_I4;  // CHILDID_SELF
        UniqueBstr name;
        if (SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_PPV_ARGS(&accessible))) &&
            accessible->get_accName(self, name.put()) == S_OK && name)
            names.emplace_back(name.get());
        else
            names.emplace_back();
    }
    return names;
}

Annotated role(LONG role) { return {std::nullopt, role, std::nullopt}; }
Annotated named(const std::wstring& name, LONG role) { return {name, role, std::nullopt}; }

TEST(ScreenReader, TheProgramGivesEveryControlOfTheMainWindowItsRoleAndNamesWhatItsCaptionDoesNot) {
    ComApartment apartment;
    LoadedWindow loaded;
    const auto friend_box = [](int slot) {
        return named(L"Estação amiga " + std::to_wstring(slot), kTextBox);
    };
    std::vector<Annotated> expected{role(kButton)};  // in tab order, from "Encerrar"
    for (int slot = 1; slot <= 6; ++slot) expected.push_back(friend_box(slot));
    expected.insert(expected.end(), 6, role(kCheckBox));
    expected.insert(expected.end(), {friend_box(7), friend_box(8), role(kCheckBox), role(kCheckBox),
                                     named(L"Estação a desconectar", kTextBox)});
    expected.insert(expected.end(), 8, role(kButton));
    EXPECT_EQ(asked_in_tab_order(loaded.service), expected);

    for (int slot = 1; slot <= kSlots; ++slot)
        EXPECT_EQ(loaded.service->of(loaded.window.control(kLabel1 + slot - 1)),
                  (Annotated{L"Estação " + std::to_wstring(slot) + L": sem estado", ROLE_SYSTEM_STATICTEXT,
                             kPolite}))
            << slot;
    EXPECT_EQ(loaded.service->of(loaded.window.control(kShape1)),
              (Annotated{L"Supervisão ligada", ROLE_SYSTEM_GRAPHIC, kPolite}));
}

TEST(ScreenReader, WindowsOwnProxiesNameTheMainWindowsControlsThatTheProgramLeavesUnnamed) {
    ComApartment apartment;
    LoadedWindow loaded;
    EXPECT_EQ(proxy_names_of_the_unnamed(loaded.service),
              (std::vector<std::wstring>{L"Encerrar", L"conecta 1", L"conecta 2", L"conecta 3", L"conecta 4",
                                         L"conecta 5", L"conecta 6", L"conecta 7", L"conecta 8",
                                         L"Desconectar amigo", L"Ler amigos", L"Gravar amigos", L"Sobre",
                                         L"Ajuda", L"Desliga", L"Liga", L"Desconecta todos"}));
}

// Nothing is asked of the system before the first paint, not even for its service; what is asked once
// the window has shown starts from what the controls show then.
TEST(ScreenReader, TheControlsAreDescribedOnlyOnceTheWindowHasShown) {
    SystemDesktop desktop;
    RecordingShell shell;
    const auto service = FakeAnnotationService::make();
    Annotations annotations(service->maker());
    AmigosWindow window(desktop, shell, annotations);
    ASSERT_TRUE(window.create());
    window.SetTimerEnabled(true);
    window.SetLabel(2, L"conectado");
    window.show();
    EXPECT_EQ(service->made(), 0);
    pump_for(100);
    EXPECT_EQ(service->made(), 1);
    EXPECT_EQ(service->of(window.control(kLabel1 + 1)).name, L"Estação 2: conectado");
    EXPECT_EQ(service->of(window.control(kShape1)).name, L"Supervisão ligada");
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
    EXPECT_EQ(loaded.service->of(indicator).name, L"Supervisão desligada");

    loaded.window.SetText(1, L"PU2ABC");
    loaded.window.SetCheck(1, 1);
    loaded.station.connected = {L"PU2ABC"};
    loaded.amigos.Timer1_Timer();  // the other slots go from no caption to a blank one: no status either way
    EXPECT_EQ(spoken_now(), std::vector{label});
    EXPECT_EQ(loaded.service->of(label).name, L"Estação 1: conectado");
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
    EXPECT_EQ(loaded.service->of(label).name, L"Estação 1: desconectado");
    loaded.station.connect_brings_up = true;
    loaded.amigos.Timer1_Timer();
    EXPECT_EQ(spoken_now(), std::vector{label});
    loaded.click(kCommand5);  // "Liga"
    EXPECT_EQ(spoken_now(), std::vector{indicator});
    EXPECT_EQ(loaded.service->of(indicator).name, L"Supervisão ligada");
    UnhookWinEvent(events);
    UnhookWindowsHookEx(messages);
}

// Opened from the main window, as the operator opens them; what they were described as goes with them.
TEST(ScreenReader, HelpAndAboutAreDescribedInTabOrderAndForgottenOnceClosed) {
    ComApartment apartment;
    LoadedWindow loaded;
    const struct {
        const wchar_t* caption;
        int opened_by;
        std::vector<Annotated> asked;
        std::vector<std::wstring> proxy_names;
    } windows[] = {
        {L"Ajuda", kCommand3, {role(kButton), named(L"Texto da ajuda", kTextBox)}, {L"Retornar"}},
        {L"Sobre", kSobre, {role(kButton), role(kButton)}, {L"Retornar", L"Visitar Servidor  QX0QX"}},
    };
    for (const auto& window : windows) {
        const size_t annotated_before = loaded.service->annotated();
        std::vector<Annotated> asked;
        std::vector<std::wstring> proxy_names;
        size_t annotated_while_open = 0;
        {
            ModalDriver driver(window.caption, [&](HWND, ULONGLONG elapsed) {
                asked = asked_in_tab_order(loaded.service);
                proxy_names = proxy_names_of_the_unnamed(loaded.service);
                annotated_while_open = loaded.service->annotated();
                return elapsed >= 200;
            });
            loaded.click(window.opened_by);
        }
        EXPECT_EQ(asked, window.asked) << utf8(window.caption);
        EXPECT_EQ(proxy_names, window.proxy_names) << utf8(window.caption);
        EXPECT_GT(annotated_while_open, annotated_before) << utf8(window.caption);
        EXPECT_EQ(loaded.service->annotated(), annotated_before) << utf8(window.caption);
    }
}

}  // namespace
}  // namespace relinka::testing
