// The instruments the benchmarks count with and refuse bad samples by: the screen read back, the Linux
// processes that do a Wine program's work, and the start-up bench's refusals.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "screen_area.h"
#include "serving_processes.h"
#include "support/process_counters.h"
#include "support/wine_support.h"

namespace relinka::testing {
namespace {

LRESULT CALLBACK coloured_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wparam, lparam);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    const UniqueBrush brush(
        CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(window, GWLP_USERDATA))));
    FillRect(dc, &paint.rcPaint, brush.get());
    EndPaint(window, &paint);
    return 0;
}

// A window of one colour, over whatever was there, at the same place each time.
class ColouredWindow {
public:
    explicit ColouredWindow(COLORREF colour, int width = 120, int height = 80) {
        static const ATOM registered = [] {
            WNDCLASSW window_class{};
            window_class.lpfnWndProc = coloured_procedure;
            window_class.hInstance = GetModuleHandleW(nullptr);
            window_class.lpszClassName = L"BenchInstrumentsColour";
            return RegisterClassW(&window_class);
        }();
        (void)registered;
        window_ = CreateWindowExW(WS_EX_TOPMOST, L"BenchInstrumentsColour", L"", WS_POPUP, 40, 40, width,
                                  height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        paint(colour);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
    }
    ~ColouredWindow() { DestroyWindow(window_); }
    ColouredWindow(const ColouredWindow&) = delete;
    ColouredWindow& operator=(const ColouredWindow&) = delete;

    HWND get() const { return window_; }
    void paint(COLORREF colour) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, colour);
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    }

private:
    HWND window_;
};

TEST(ScreenArea, SeesEachDrawingThatReachesTheScreen) {
    ColouredWindow window(RGB(255, 0, 0));
    ScreenArea area(window.get());
    EXPECT_TRUE(area.changed()) << "the first look, against nothing";
    EXPECT_FALSE(area.changed()) << "nothing was drawn";
    window.paint(RGB(0, 0, 255));
    EXPECT_TRUE(area.changed());
    window.paint(RGB(0, 0, 255));
    EXPECT_FALSE(area.changed()) << "drawn again the same";
}

// What another window puts over the area is what the screen shows: the area changes though its own
// window drew nothing, and it says what covers it.
TEST(ScreenArea, ReadsTheScreenNotTheWindow) {
    ColouredWindow window(RGB(255, 0, 0));
    ScreenArea area(window.get());
    area.changed();
    EXPECT_EQ(area.covered_by(), nullptr);
    {
        ColouredWindow cover(RGB(0, 255, 0));
        EXPECT_TRUE(area.changed());
        EXPECT_EQ(area.covered_by(), cover.get());
    }
    // The window beneath is told of it through the X server.
    EXPECT_TRUE(wait_until([&] { return area.changed(); }, 2000)) << "uncovered: red again";
    EXPECT_EQ(area.covered_by(), nullptr);
}

// Each found process must be the one working for this one: its CPU time moves with this process's work.
TEST(ServingProcesses, TheWineserverIsThisPrefixs) {
    const LinuxProcess server = wineserver_of_this_prefix();
    ASSERT_NE(server.id, 0) << server.not_found;
    const double before = linux_cpu_seconds(server.id);
    // Every posted and taken message is a request to the wineserver.
    long messages = 0;
    EXPECT_TRUE(wait_until(
        [&] {
            for (int i = 0; i < 1000; ++i, ++messages) {
                MSG message;
                PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
                PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE);
            }
            return linux_cpu_seconds(server.id) > before;
        },
        10'000))
        << server.name << " " << server.id << " did not count " << messages << " messages of this process";

    wchar_t prefix[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH)) GTEST_SKIP() << "no WINEPREFIX to compare";
    const UniqueFile environment(
        CreateFileW((L"Z:\\proc\\" + std::to_wstring(server.id) + L"\\environ").c_str(), GENERIC_READ,
                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    // Each variable ends with a NUL; one more before the first.
    std::string variables(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(environment.get(), variables.data() + 1, static_cast<DWORD>(variables.size() - 1), &got,
             nullptr);
    variables.resize(got + 1);
    const std::wstring wide = prefix;
    const std::string wanted = std::string(1, '\0') + "WINEPREFIX=" + std::string(wide.begin(), wide.end());
    EXPECT_NE(variables.find(wanted + '\0'), std::string::npos) << server.name << " " << server.id;
}

TEST(ServingProcesses, TheXServerIsThisDisplays) {
    const LinuxProcess server = x_server_of_this_display();
    ASSERT_NE(server.id, 0) << server.not_found;
    const double before = linux_cpu_seconds(server.id);
    ColouredWindow window(RGB(0, 0, 0), 640, 480);
    int frame = 0;
    EXPECT_TRUE(wait_until(
        [&] {
            window.paint(++frame % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0));
            return linux_cpu_seconds(server.id) > before;
        },
        10'000))
        << server.name << " " << server.id << " did not count " << frame << " frames of this process";
}

TEST(ServingProcesses, NoXServerWhereTheDisplayIsNotOneOfThisMachine) {
    char display[256] = {};
    GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    for (const auto& [given, said] : {std::pair{"otherhost:0", "not a display of this machine"},
                                      std::pair{":4093", "no socket listens for display :4093"}}) {
        SetEnvironmentVariableA("DISPLAY", given);
        const LinuxProcess server = x_server_of_this_display();
        EXPECT_EQ(server.id, 0) << given;
        EXPECT_NE(server.not_found.find(said), std::string::npos) << server.not_found;
    }
    SetEnvironmentVariableA("DISPLAY", display);
}

// Given in place of relinka.exe: a program that is not there, one that ends at once, and one that shows
// a message box (msiexec with no argument says how to use it); each stops the bench with the reason,
// before any figure.
TEST(StartupBench, RefusesAStartItCannotCount) {
    for (const auto& [program, said] :
         {std::pair{L"Z:\\no\\such\\program.exe", "relinka.exe could not be started"},
          std::pair{L"C:\\windows\\system32\\hostname.exe",
                    "relinka.exe ended with exit code 0 before painting"},
          std::pair{L"C:\\windows\\system32\\msiexec.exe",
                    "relinka.exe showed a window of class \"#32770\""}}) {
        const auto [output, code] =
            run_captured(L"\"" + beside_tests(L"startup_bench.exe") + L"\" \"" + program + L"\"");
        EXPECT_EQ(code, 2u) << output;
        EXPECT_NE(output.find(said), std::string::npos) << output;
        EXPECT_EQ(output.find("start-up to the first paint"), std::string::npos) << "figures were printed";
    }
}

}  // namespace
}  // namespace relinka::testing
