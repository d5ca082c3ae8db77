// What a screen reader hears of the three windows: every control the Tab key reaches named and of its
// role. Windows' own proxies are played by Wine's oleacc, read as a screen reader reads them; the
// annotation service, which Wine 8 does not provide, by the test, which keeps what the program asks.
#include <windows.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <ostream>
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
}

// Nothing is asked of the system before the first paint.
TEST(ScreenReader, TheControlsAreDescribedOnlyOnceTheWindowHasShown) {
    RecordingShell shell;
    RecordedAnnotations annotated;
    AmigosWindow window(shell, annotated.annotations);
    ASSERT_TRUE(window.create());
    window.show();
    EXPECT_EQ(annotated.requests, 0);
    pump_for(100);
    EXPECT_EQ(heard(window.control(kText1 + 1), annotated).name, L"Estação amiga 2");
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
