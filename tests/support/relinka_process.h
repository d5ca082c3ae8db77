#pragma once
// relinka.exe started by a test as an operator would start it, and driven through its windows from
// outside: typing, ticking, clicking, reading, answering its message boxes.
#include <windows.h>

#include <optional>
#include <string>

namespace relinka::testing {

// Long enough for a tick that finds a station down: up to 1 s to the tick, its 3 s wait and its calls,
// with room for a machine busy with other work.
inline constexpr DWORD kTick = 15000;  // ms

// How relinka.exe is started, beyond its folder: as a shortcut would start it, or UAC.
struct StartOptions {
    std::optional<WORD> show_window;  // STARTUPINFO's, as a shortcut's "Executar" setting gives it
    bool not_elevated = false;        // with the user's token stripped of administrator rights
    std::wstring arguments;           // after the program's name on its command line
};

class RelinkaProcess {
public:
    // Starts relinka.exe from the tests' folder (or `program`) with `working_directory` as its current
    // directory.
    explicit RelinkaProcess(const std::wstring& working_directory, const std::wstring& program = {},
                            const StartOptions& options = {});
    ~RelinkaProcess();  // ends it if it still runs
    RelinkaProcess(const RelinkaProcess&) = delete;
    RelinkaProcess& operator=(const RelinkaProcess&) = delete;

    // The main window once it shows; null if it did not within the time.
    HWND main_window(DWORD milliseconds = 15000);
    // One of its windows (the main window, Help or About) by its caption.
    HWND form_titled(const std::wstring& caption, DWORD milliseconds = 10000);
    HWND control(int id);
    // Clicks, types and ticks go through the message queue, as the mouse's and keyboard's do.
    void click(int id);
    void type(int id, const std::wstring& text);  // replaces the box's text
    void press_key(WPARAM key);                   // on the focused control
    std::wstring text(int id);
    int check(int id);
    COLORREF pixel(int id, int x, int y);

    // A message box of this process; null if none showed within the time.
    HWND message_box(DWORD milliseconds = 10000);
    int message_boxes_open();
    bool ended_within(DWORD milliseconds);
    // Ended at once, as a power cut or the Task Manager would end it.
    void kill();
    DWORD exit_code();
    DWORD id() const { return process_.dwProcessId; }
    DWORD thread_id() const { return process_.dwThreadId; }

private:
    PROCESS_INFORMATION process_{};
};

// The parts of a standard message box.
std::wstring message_box_text(HWND box);
bool has_button(HWND box, int id);
bool is_default_button(HWND box, int id);
bool has_icon(HWND box);
void answer(HWND box, int button);

// A new, empty directory under the system's temporary folder.
std::wstring fresh_directory();

}  // namespace relinka::testing
