// The window base every form is built on: a derived form sees its window's messages from the first, no
// exception from a handler crosses into Windows, and the window goes before what it is drawn with.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "resources.h"
#include "support/debug_output.h"
#include "support/wine_support.h"
#include "winlib/form_win.h"
#include "winlib/private_messages_win.h"

namespace relinka::testing {
namespace {

constexpr FormSpec kProbeForm{.caption = L"probe",
                              .client_width = 1500,
                              .client_height = 1500,
                              .resizable = false,
                              .minimize_box = false,
                              .maximize_box = false,
                              .icon = IDI_RELINKA};
constexpr int kProbeLabel = 101;
constexpr ControlSpec kProbeControls[] = {
    label(L"Label1", kProbeLabel, L"probe", {0, 0, 900, 300}, bold_sans(825))};
constexpr UINT kThrow = kFirstFreeMessage, kAnswer = kFirstFreeMessage + 1;

class ProbeForm : public Form {
public:
    ProbeForm() : Form(kProbeForm, kProbeControls) {}
    std::vector<UINT> seen;

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override {
        seen.push_back(message);
        if (message == kThrow) throw std::runtime_error("handler failed");
        if (message == kAnswer) return 42;
        return Form::handle(message, wparam, lparam);
    }
};

bool saw(const ProbeForm& form, UINT message) {
    return std::find(form.seen.begin(), form.seen.end(), message) != form.seen.end();
}

TEST(FormBase, ADerivedFormSeesItsWindowsCreation) {
    ProbeForm form;
    ASSERT_TRUE(form.create());
    EXPECT_TRUE(saw(form, WM_NCCREATE));
    EXPECT_TRUE(saw(form, WM_CREATE));
}

TEST(FormBase, AnExceptionFromAHandlerStopsAtTheWindowProcedureWithATraceLine) {
    const DebugOutput debug_output;
    ASSERT_TRUE(debug_output.reading());
    ProbeForm form;
    ASSERT_TRUE(form.create());
    EXPECT_EQ(SendMessageW(form.hwnd(), kThrow, 0, 0), 0);
    char line[128];
    std::snprintf(line, sizeof line,
                  "relinka: window procedure: message 0x%04X, counted as handled, stopped by an exception: "
                  "0x8000FFFF\n",
                  kThrow);
    EXPECT_TRUE(debug_output.shows(line)) << debug_output.text(GetCurrentProcessId());
    PostMessageW(form.hwnd(), kThrow, 0, 0);
    pump_for(50);
    EXPECT_EQ(SendMessageW(form.hwnd(), kAnswer, 0, 0), 42) << "the window goes on working";
}

// What the label's font and its window's icon are when the label is destroyed.
struct HeldAtDestruction {
    WNDPROC label_procedure = nullptr;
    bool font = false, icon = false;
};
HeldAtDestruction held;

LRESULT CALLBACK note_what_is_held(HWND label, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        held.font =
            GetObjectType(reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0))) == OBJ_FONT;
        ICONINFO icon{};
        held.icon = GetIconInfo(
            reinterpret_cast<HICON>(SendMessageW(GetParent(label), WM_GETICON, ICON_BIG, 0)), &icon);
        DeleteObject(icon.hbmColor);
        DeleteObject(icon.hbmMask);
    }
    return CallWindowProcW(held.label_procedure, label, message, wparam, lparam);
}

TEST(FormBase, ItsWindowGoesBeforeTheFontsAndIconsItIsDrawnWith) {
    {
        ProbeForm form;
        ASSERT_TRUE(form.create());
        held.label_procedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            form.control(kProbeLabel), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(note_what_is_held)));
    }
    EXPECT_TRUE(held.font) << "the label's font was freed before the label";
    EXPECT_TRUE(held.icon) << "the window's icon was freed before the window";
}

TEST(FormBase, OnceItsWindowIsGoneNoHandleOfItsControlsIsHandedOut) {
    ProbeForm form;
    ASSERT_TRUE(form.create());
    const HWND label = form.control(kProbeLabel);
    ASSERT_TRUE(IsWindow(label));
    DestroyWindow(form.hwnd());
    EXPECT_FALSE(IsWindow(label));
    EXPECT_EQ(form.hwnd(), nullptr);
    EXPECT_EQ(form.control(kProbeLabel), nullptr);
}

}  // namespace
}  // namespace relinka::testing
