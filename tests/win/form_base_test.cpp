// The window base every form is built on: a derived form sees its window's messages from the first, and
// no exception from a handler crosses into Windows.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "resources.h"
#include "win32/form_win.h"
#include "wine_support.h"

namespace relinka::testing {
namespace {

constexpr FormSpec kProbeForm{.caption = L"probe",
                              .client_width = 1500,
                              .client_height = 1500,
                              .resizable = false,
                              .minimize_box = false,
                              .maximize_box = false,
                              .icon = IDI_RELINKA};
constexpr UINT kThrow = WM_APP + 1, kAnswer = WM_APP + 2;

class ProbeForm : public Form {
public:
    ProbeForm() : Form(kProbeForm, {}) {}
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

TEST(FormBase, AnExceptionFromAHandlerStopsAtTheWindowProcedure) {
    ProbeForm form;
    ASSERT_TRUE(form.create());
    EXPECT_EQ(SendMessageW(form.hwnd(), kThrow, 0, 0), 0);
    PostMessageW(form.hwnd(), kThrow, 0, 0);
    pump_for(50);
    EXPECT_EQ(SendMessageW(form.hwnd(), kAnswer, 0, 0), 42) << "the window goes on working";
}

}  // namespace
}  // namespace relinka::testing
