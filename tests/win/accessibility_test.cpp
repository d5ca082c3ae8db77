// What a screen reader hears of the three windows: every control the Tab key reaches named and of its
// role, the status labels and the indicator named for what they show, and a station's change of state
// announced once. Windows' own proxies are played by Wine's oleacc, read as a screen reader reads them;
// the annotation service, which Wine 8 does not provide, by the test, which keeps what the program asks.
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

// What the program annotated, and where it annotated nothing, what the system's proxy says.
Heard heard(HWND control, const RecordedAnnotations& annotated) {
    Heard heard{L"", 0};
    ComPtr<IAccessible> accessible;
    if (SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_PPV_ARGS(&accessible)))) {
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        UniqueBstr name;
        if (accessible->get_accName(self, name.put()) == S_OK && name) heard.name = name.get();
        VARIANT role;
        VariantInit(&role);
        if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4) heard.role = role.lVal;
    }
    if (const RecordedAnnotations::Annotated* annotation = annotated.of(control)) {
        heard.name = annotation->name.value_or(heard.name);
        heard.role = annotation->role.value_or(heard.role);
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
    const std::vector<Heard> expected = {
        {L"Encerrar", kButton},
        {L"Estação amiga 1", kTextBox},
        {L"Estação amiga 2", kTextBox},
        {L"Estação amiga 3", kTextBox},
        {L"Estação amiga 4", kTextBox},
        {L"Estação amiga 5", kTextBox},
        {L"Estação amiga 6", kTextBox},
        {L"conecta 1", kCheckBox},
        {L"conecta 2", kCheckBox},
        {L"conecta 3", kCheckBox},
        {L"conecta 4", kCheckBox},
        {L"conecta 5", kCheckBox},
        {L"conecta 6", kCheckBox},
        {L"Estação amiga 7", kTextBox},
        {L"Estação amiga 8", kTextBox},
        {L"conecta 7", kCheckBox},
        {L"conecta 8", kCheckBox},
        {L"Estação a desconectar", kTextBox},
        {L"Desconectar amigo", kButton},
        {L"Ler amigos", kButton},
        {L"Gravar amigos", kButton},
        {L"Sobre", kButton},
        {L"Ajuda", kButton},
        {L"Desliga", kButton},
        {L"Liga", kButton},
        {L"Desconecta todos", kButton},
    };
    EXPECT_EQ(heard_in_tab_order(loaded.annotated), expected);

    for (int slot = 1; slot <= kSlots; ++slot) {
        const HWND label = loaded.window.control(kLabel1 + slot - 1);
        EXPECT_EQ(heard(label, loaded.annotated),
                  (Heard{L"Estação " + std::to_wstring(slot) + L": sem estado", ROLE_SYSTEM_STATICTEXT}));
        EXPECT_EQ(loaded.annotated.of(label)->live_setting, kLivePolite) << "slot " << slot;
    }
    const HWND indicator = loaded.window.control(kShape1);
    EXPECT_EQ(heard(indicator, loaded.annotated), (Heard{L"Supervisão ligada", ROLE_SYSTEM_GRAPHIC}));
    EXPECT_EQ(loaded.annotated.of(indicator)->live_setting, kLivePolite);
}

// Nothing is asked of the system before the first paint; what is asked once the window has shown
// starts from what the controls show then.
TEST(ScreenReader, TheControlsAreDescribedOnlyOnceTheWindowHasShown) {
    RecordingShell shell;
    RecordedAnnotations annotated;
    AmigosWindow window(shell, annotated.annotations);
    ASSERT_TRUE(window.create());
    window.SetTimerEnabled(true);
    window.SetLabel(2, L"conectado");
    window.show();
    EXPECT_EQ(annotated.requests, 0);
    pump_for(100);
    EXPECT_EQ(heard(window.control(kLabel1 + 1), annotated).name, L"Estação 2: conectado");
    EXPECT_EQ(heard(window.control(kShape1), annotated).name, L"Supervisão ligada");
}

// The live-region events of this process, as a screen reader outside it sees them, and the captions
// written to its controls.
class Announcements {
public:
    struct Events {
        std::vector<HWND> spoken, written;
    };
    Announcements()
        : events_hook_(SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED,
                                       nullptr, on_event, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT)),
          messages_hook_(SetWindowsHookExW(WH_CALLWNDPROC, on_message, nullptr, GetCurrentThreadId())) {
        current_ = this;
    }
    ~Announcements() {
        UnhookWinEvent(events_hook_);
        UnhookWindowsHookEx(messages_hook_);
        current_ = nullptr;
    }
    // Those since the last call.
    Events take() {
        pump_for(100);
        return std::exchange(events_, {});
    }

private:
    static void CALLBACK on_event(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD, DWORD) {
        if (current_) current_->events_.spoken.push_back(hwnd);
    }
    static LRESULT CALLBACK on_message(int code, WPARAM wparam, LPARAM lparam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (current_ && code == HC_ACTION && message->message == WM_SETTEXT)
            current_->events_.written.push_back(message->hwnd);
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    static inline Announcements* current_ = nullptr;
    HWINEVENTHOOK events_hook_;
    HHOOK messages_hook_;
    Events events_;
};

TEST(ScreenReader, AStationsChangeOfStateIsAnnouncedOnceAndATickThatChangesNothingSaysNothing) {
    ComApartment apartment;
    LoadedWindow loaded;
    Announcements announcements;
    const HWND indicator = loaded.window.control(kShape1), label = loaded.window.control(kLabel1);
    loaded.click(kCommand4);  // "Desliga": from here on the test runs the ticks itself
    EXPECT_EQ(announcements.take().spoken, std::vector{indicator});
    EXPECT_EQ(heard(indicator, loaded.annotated).name, L"Supervisão desligada");

    loaded.window.SetText(1, L"PU2ABC");
    loaded.window.SetCheck(1, 1);
    loaded.station.connected = {L"PU2ABC"};
    const auto tick = [&](const wchar_t* caption_after) {
        loaded.amigos.Timer1_Timer();
        EXPECT_EQ(text_of(label), caption_after);
        return announcements.take();
    };
    // The other slots go from no caption to a blank one: no status either way.
    EXPECT_EQ(tick(L"conectado").spoken, std::vector{label});
    EXPECT_EQ(heard(label, loaded.annotated).name, L"Estação 1: conectado");
    const Announcements::Events steady = tick(L"conectado");
    EXPECT_TRUE(steady.spoken.empty());
    for (int slot = 1; slot <= kSlots; ++slot)  // which Windows would tell screen readers of
        EXPECT_EQ(std::count(steady.written.begin(), steady.written.end(),
                             loaded.window.control(kLabel1 + slot - 1)),
                  0)
            << "the same caption written again on slot " << slot;

    loaded.station.connected.clear();  // the station drops, and does not come back at once
    loaded.station.connect_brings_up = false;
    EXPECT_EQ(tick(L"desconectado").spoken, std::vector{label});
    EXPECT_EQ(heard(label, loaded.annotated).name, L"Estação 1: desconectado");
    loaded.station.connect_brings_up = true;
    EXPECT_EQ(tick(L"conectado").spoken, std::vector{label});

    loaded.click(kCommand5);  // "Liga"
    EXPECT_EQ(announcements.take().spoken, std::vector{indicator});
    EXPECT_EQ(heard(indicator, loaded.annotated).name, L"Supervisão ligada");
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
        std::vector<Heard> heard;
        std::vector<HWND> controls;
        {
            ModalDriver driver(window.caption, [&](HWND form, ULONGLONG elapsed) {
                if (elapsed < 200) return false;
                heard = heard_in_tab_order(loaded.annotated);
                for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                    if (loaded.annotated.of(child)) controls.push_back(child);
                return true;
            });
            loaded.click(window.opened_by);
        }
        EXPECT_EQ(heard, window.expected) << utf8(window.caption);
        EXPECT_FALSE(controls.empty()) << utf8(window.caption);
        for (HWND control : controls) EXPECT_FALSE(loaded.annotated.of(control)) << utf8(window.caption);
    }
}

}  // namespace
}  // namespace relinka::testing
