// The one window procedure of the program's own windows, for controls of a class of their own: each
// window made by the class's name gets its object from the class's maker, sees its messages from the
// first, and takes its object with it when it goes; an object that cannot be made means no window.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <new>

#include "support/debug_output.h"
#include "winlib/window_win.h"

namespace relinka::testing {
namespace {

constexpr wchar_t kProbeClass[] = L"RelinkaProbeControl";
constexpr UINT kAnswer = WM_APP + 7;

// A control of a class of its own; its creation parameter is a number it answers kAnswer with, and
// -1 makes its maker fail.
class ProbeControl final : public Window {
public:
    static void register_once() {
        static const bool registered = (register_control_class(kProbeClass, 0, make), true);
        (void)registered;
    }
    static inline int living = 0;
    static inline UINT first_message = 0;

    explicit ProbeControl(int answer) : answer_(answer) { ++living; }
    ~ProbeControl() override { --living; }

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override {
        if (!first_message) first_message = message;
        if (message == kAnswer) return answer_ + (hwnd() != nullptr);
        return Window::handle(message, wparam, lparam);
    }

private:
    static std::unique_ptr<Window> make(const CREATESTRUCTW& creation) {
        const int answer = static_cast<int>(reinterpret_cast<INT_PTR>(creation.lpCreateParams));
        if (answer < 0) throw std::bad_alloc();
        return std::make_unique<ProbeControl>(answer);
    }
    const int answer_;
};

HWND make_probe(HWND parent, int answer) {
    return CreateWindowExW(0, kProbeClass, L"", WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                           GetModuleHandleW(nullptr), reinterpret_cast<void*>(static_cast<INT_PTR>(answer)));
}

TEST(WindowBase, AControlOfAClassOfOurOwnHasItsObjectForAsLongAsItsWindow) {
    ProbeControl::register_once();
    const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    const HWND first = make_probe(parent, 10);
    EXPECT_EQ(ProbeControl::first_message, UINT(WM_NCCREATE));
    const HWND second = make_probe(parent, 20);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(ProbeControl::living, 2);
    // Each window answers with its own object, which knows its window.
    EXPECT_EQ(SendMessageW(first, kAnswer, 0, 0), 11);
    EXPECT_EQ(SendMessageW(second, kAnswer, 0, 0), 21);
    DestroyWindow(first);
    EXPECT_EQ(ProbeControl::living, 1);
    DestroyWindow(parent);  // its children with it
    EXPECT_EQ(ProbeControl::living, 0);
}

TEST(WindowBase, AControlWhoseObjectCannotBeMadeIsNotMadeAndLeavesATraceLine) {
    const DebugOutput debug_output;
    ASSERT_TRUE(debug_output.reading());
    ProbeControl::register_once();
    const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(make_probe(parent, -1), nullptr);
    EXPECT_EQ(ProbeControl::living, 0);
    EXPECT_TRUE(
        debug_output.shows("relinka: making the object of a control of the program's own class, so it "
                           "is not made, stopped by an exception: 0x8007000E\n"))
        << debug_output.text(GetCurrentProcessId());
    DestroyWindow(parent);
}

}  // namespace
}  // namespace relinka::testing
