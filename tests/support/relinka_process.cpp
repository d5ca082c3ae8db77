#include "support/relinka_process.h"

#include <vector>

#include "support/wine_support.h"

namespace relinka::testing {

namespace {

constexpr UINT kAnswerWithin = kTick;  // a tick may block the program for seconds

struct Search {
    DWORD process;
    const wchar_t* window_class;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64];
    if (process == search->process && IsWindowVisible(window) && GetClassNameW(window, name, 64) &&
        lstrcmpW(name, search->window_class) == 0)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> windows_of(DWORD process, const wchar_t* window_class) {
    Search search{process, window_class, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, kAnswerWithin, &result);
    return static_cast<LRESULT>(result);
}

}  // namespace

RelinkaProcess::RelinkaProcess(const std::wstring& working_directory, const std::wstring& program,
                               const StartOptions& options) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (options.show_window) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = *options.show_window;
    }
    std::wstring command = L"\"" + (program.empty() ? beside_tests(L"relinka.exe") : program) + L"\"";
    if (!options.arguments.empty()) command += L" " + options.arguments;
    start_process(command, working_directory.c_str(), startup, !options.not_elevated, process_);
}

RelinkaProcess::~RelinkaProcess() {
    if (!process_.hProcess) return;
    // Closed as the operator would, so that it lets go of EchoLink; killed only if that fails.
    for (HWND box : windows_of(process_.dwProcessId, L"#32770")) PostMessageW(box, WM_CLOSE, 0, 0);
    if (const HWND window = main_window(0)) PostMessageW(window, WM_CLOSE, 0, 0);
    if (!ended_within(10000)) kill();
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

void RelinkaProcess::kill() {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
}

HWND RelinkaProcess::main_window(DWORD milliseconds) { return form_titled(L"  Relinka", milliseconds); }

HWND RelinkaProcess::form_titled(const std::wstring& caption, DWORD milliseconds) {
    HWND window = nullptr;
    wait_until(
        [&] {
            for (HWND form : windows_of(process_.dwProcessId, L"RelinkaForm"))
                if (text_of(form) == caption) window = form;
            return window != nullptr;
        },
        milliseconds);
    return window;
}

HWND RelinkaProcess::control(int id) { return GetDlgItem(main_window(), id); }

void RelinkaProcess::click(int id) { PostMessageW(control(id), BM_CLICK, 0, 0); }

void RelinkaProcess::type(int id, const std::wstring& text) {
    const HWND box = control(id);
    send(box, EM_SETSEL, 0, -1);
    PostMessageW(box, WM_CHAR, VK_BACK, 0);
    for (wchar_t c : text) PostMessageW(box, WM_CHAR, c, 0);
    send(box, WM_NULL, 0, 0);  // the posted characters are handled by now
}

void RelinkaProcess::press_key(WPARAM key) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    // The window shows a moment before it gives the focus to its first control.
    wait_until([&] { return GetGUIThreadInfo(process_.dwThreadId, &gui) && gui.hwndFocus; }, 5000);
    PostMessageW(gui.hwndFocus, WM_KEYDOWN, key, 1);
    PostMessageW(gui.hwndFocus, WM_KEYUP, key, 0xC0000001);
}

std::wstring RelinkaProcess::text(int id) {
    wchar_t text[512] = {};
    send(control(id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

int RelinkaProcess::check(int id) { return send(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0; }

// Read off the screen: another process's window gives no device context to read.
COLORREF RelinkaProcess::pixel(int id, int x, int y) {
    const HWND target = control(id);
    send(target, WM_NULL, 0, 0);  // painted by the time it answers
    POINT point{x, y};
    ClientToScreen(target, &point);
    return GetPixel(WindowDc(nullptr).get(), point.x, point.y);
}

HWND RelinkaProcess::message_box(DWORD milliseconds) {
    HWND box = nullptr;
    wait_until(
        [&] {
            const auto boxes = windows_of(process_.dwProcessId, L"#32770");
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr;
        },
        milliseconds);
    return box;
}

int RelinkaProcess::message_boxes_open() {
    return static_cast<int>(windows_of(process_.dwProcessId, L"#32770").size());
}

bool RelinkaProcess::ended_within(DWORD milliseconds) {
    return wait_until([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; },
                      milliseconds);
}

DWORD RelinkaProcess::exit_code() {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::wstring message_box_text(HWND box) {
    wchar_t text[1024] = {};
    send(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

bool has_button(HWND box, int id) { return GetDlgItem(box, id) != nullptr; }

bool is_default_button(HWND box, int id) {
    return (GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool has_icon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && send(child, STM_GETICON, 0, 0))
            return true;
    return false;
}

void answer(HWND box, int button) { PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0); }

std::wstring fresh_directory() {
    wchar_t temporary[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    wchar_t name[MAX_PATH];
    GetTempFileNameW(temporary, L"rlk", 0, name);
    DeleteFileW(name);
    CreateDirectoryW(name, nullptr);
    return name;
}

}  // namespace relinka::testing
