// relinka.exe started several times beside the stand-in, against two floors: an empty window
// (bench/startup_floor.cpp) and the same main window of plain controls (bench/startup_plain_window.cpp),
// and against that plain window with each of relinka.exe's own pieces added alone, so that each piece's
// cost shows. For each: the time from process start to the first paint (the indicator green on the
// screen; the empty floor's window green); for relinka.exe and the floors also the working set once it
// has settled; and relinka.exe again in a folder whose historico.txt is 1 MiB of history, and one whose
// historico.txt is a damaged 50 MiB. Medians of runs taken in turn after a warm-up, and their ratios. A start
// that fails, ends before it has painted, shows any other window (a message box) or does not paint within 30
// s stops the bench with the reason: it has no figure to count. Usage: startup_bench [relinka.exe to measure
// [history]] (by default the one beside this program; "history": its three folders alone, taken closer
// together)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

#include "app/amigos_layout.h"
#include "history/history_line.h"
#include "support/bench_support.h"
#include "support/relinka_process.h"
#include "support/wine_support.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

constexpr DWORD kPaintWithin = 30000;  // ms: a start that has not painted by then is refused

// One start's figures, or why it cannot be counted.
struct Launch {
    double paint_ms = 0, working_set_kib = 0;
    std::string refused;  // empty when the start counts
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// In UTF-8, on one line.
std::string narrow(std::wstring text) {
    std::replace_if(
        text.begin(), text.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L' ');
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

std::string system_words(DWORD error) {
    wchar_t words[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, words, 256,
                   nullptr);
    std::wstring text = words;
    while (!text.empty() && std::iswspace(text.back())) text.pop_back();
    return narrow(text) + " (error " + std::to_string(error) + ")";
}

// The visible top-level windows of a process: the one of the class it is expected to show, and the
// first of any other class.
struct Windows {
    DWORD process;
    const wchar_t* expected_class;
    HWND expected = nullptr, other = nullptr;
};

BOOL CALLBACK note_visible_window(HWND window, LPARAM parameter) {
    auto* windows = reinterpret_cast<Windows*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != windows->process || !IsWindowVisible(window)) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    (lstrcmpW(name, windows->expected_class) == 0 ? windows->expected : windows->other) = window;
    return !windows->other;
}

Windows visible_windows_of(DWORD process, const wchar_t* expected_class) {
    Windows windows{process, expected_class};
    EnumWindows(note_visible_window, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A window the bench did not expect, as a person would describe it: a message box by its text.
std::string described(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    std::string words =
        "a window of class \"" + narrow(name) + "\" titled \"" + narrow(text_of(window)) + "\"";
    if (const HWND text = GetDlgItem(window, 0xFFFF)) words += " saying \"" + narrow(text_of(text)) + "\"";
    return words;
}

// The window painted: `probe` (a control id, or 0 for the client area) shows green in its middle on the
// screen.
bool painted(HWND window, int probe) {
    const HWND target = probe ? GetDlgItem(window, probe) : window;
    if (!target) return false;
    RECT area;
    GetClientRect(target, &area);
    POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ClientToScreen(target, &middle);
    return GetPixel(WindowDc(nullptr).get(), middle.x, middle.y) == RGB(0, 255, 0);
}

std::string exit_of(HANDLE process) {
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return "ended with exit code " + std::to_string(code);
}

// What refuses a start while it runs: an end, or a window other than the one it is expected to show.
std::string trouble(HANDLE process, const Windows& windows, const char* when) {
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return exit_of(process) + " " + when;
    if (windows.other) return "showed " + described(windows.other) + " " + when;
    return {};
}

// Closed as a person would, a message box first, so that it lets go of EchoLink (a client ended while
// it holds EchoLink's object keeps EchoLink from ending); one still there after 10 s is ended.
void close(const PROCESS_INFORMATION& process, const wchar_t* window_class) {
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT) {
        if (GetTickCount64() > deadline) {
            TerminateProcess(process.hProcess, 99);
            return;
        }
        const Windows windows = visible_windows_of(process.dwProcessId, window_class);
        if (const HWND window = windows.other ? windows.other : windows.expected)
            PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

// What a start finds in its folder.
using Folder = std::function<void(const std::wstring& directory)>;

void write_file(const std::wstring& path, const std::string& bytes, LONGLONG size) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    LARGE_INTEGER at{};
    at.QuadPart = size - static_cast<LONGLONG>(bytes.size());
    DWORD written = 0;
    SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN);
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// A year of eight stations dropping and coming back, as much as fits a file short of 1 MiB (so that the
// starts measured, each adding a few lines, never hand it over to historico-anterior.txt).
std::string a_mib_of_history() {
    std::string bytes(kByteOrderMark);
    for (std::int64_t at = 1'735'700'000; bytes.size() < (1 << 20) - 16 * 1024; at += 97) {
        const int slot = static_cast<int>(at % 8) + 1;
        bytes += format_line({{at, -180},
                              slot,
                              L"PY" + std::to_wstring(slot) + L"ABC-R",
                              at % 2 ? EventKind::Connected : EventKind::Disconnected,
                              L""});
    }
    return bytes;
}

// 50 MiB: nothing but zero bytes (a file the disk lost), then half a MiB of bytes of every value with a
// line end now and then, lines of ours cut short among them, and a torn last line.
std::string a_damaged_end() {
    std::string bytes;
    unsigned seed = 12345;
    while (bytes.size() < 512 * 1024) {
        seed = seed * 1103515245 + 12345;
        bytes += static_cast<char>(seed >> 16);
        if (seed % 997 == 0) bytes += "2025-12-09 11:22:11 -03:00\t3\tPY2A\r\n";
    }
    return bytes + "2025-12-09 11:22:11 -03:00\t1\tPU2ABC\tconec";
}

// One start of `command`, whose window of class `window_class` is closed once painted (and, when
// `settle`, once it has run 2 s). A start that fails, ends, shows any other window or does not paint in
// time is refused, with the reason.
Launch launch(std::wstring command, const wchar_t* window_class, int probe, bool settle,
              const Folder& folder) {
    const std::wstring directory = fresh_directory();
    if (folder) folder(directory);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, shown;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                        &startup, &process))
        return {.refused = "could not be started: " + system_words(GetLastError())};
    const UniqueHandle owned_process(process.hProcess), owned_thread(process.hThread);
    Launch result;
    const ULONGLONG deadline = GetTickCount64() + kPaintWithin;
    for (;;) {
        const Windows windows = visible_windows_of(process.dwProcessId, window_class);
        if (windows.expected && !windows.other && painted(windows.expected, probe)) break;
        result.refused = trouble(process.hProcess, windows, "before painting");
        if (result.refused.empty() && GetTickCount64() > deadline)
            result.refused = "did not paint within " + std::to_string(kPaintWithin / 1000) + " s";
        if (!result.refused.empty()) break;
        WaitForSingleObject(process.hProcess, 10);
    }
    QueryPerformanceCounter(&shown);
    result.paint_ms = 1000.0 * double(shown.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    if (settle && result.refused.empty()) {
        pump_for(2000);
        result.refused = trouble(process.hProcess, visible_windows_of(process.dwProcessId, window_class),
                                 "while it settled");
        PROCESS_MEMORY_COUNTERS memory{};
        if (result.refused.empty() && !GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
            result.refused = "its working set could not be read: " + system_words(GetLastError());
        result.working_set_kib = double(memory.WorkingSetSize) / 1024.0;
    }
    close(process, window_class);
    return result;
}

struct Program {
    const char* name;
    std::wstring command;
    const wchar_t* window_class;
    int probe;
    bool settle;  // its working set is measured
    Folder folder;
    std::vector<double> paint_ms, working_set_kib;
};

std::wstring quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// Stops the bench: a start that cannot be counted would make its figures wrong.
int refuse(const Program& program, const Launch& launch) {
    return relinka::testing::refuse(std::string(program.name) + " " + launch.refused);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ComApartment apartment;
    StandIn standin;  // running already, as EchoLink would be
    const std::wstring relinka = quoted(argc > 1 ? argv[1] : beside_tests(L"relinka.exe"));
    const std::wstring plain = quoted(beside_tests(L"startup_plain_window.exe"));
    const std::wstring plain_manifest = quoted(beside_tests(L"startup_plain_window_manifest.exe"));
    const wchar_t* const form = L"RelinkaForm";
    const wchar_t* const plain_window = L"RelinkaPlainWindow";
    const std::string history = a_mib_of_history(), damaged = a_damaged_end();
    std::vector<Program> programs{
        {"relinka.exe", relinka, form, kShape1, true},
        {"relinka.exe, 1 MiB historico.txt", relinka, form, kShape1, false,
         [&](const std::wstring& folder) {
             write_file(folder + L"\\" + kHistoryFile, history, static_cast<LONGLONG>(history.size()));
         }},
        {"relinka.exe, damaged 50 MiB historico.txt", relinka, form, kShape1, false,
         [&](const std::wstring& folder) { write_file(folder + L"\\" + kHistoryFile, damaged, 50LL << 20); }},
        {"empty window", quoted(beside_tests(L"startup_floor.exe")), L"RelinkaFloor", 0, true},
        {"plain controls", plain, plain_window, kShape1, true},
        {"plain + relinka.exe's manifest", plain_manifest, plain_window, kShape1, false},
        {"plain + our font lookup", plain + L" fonts", plain_window, kShape1, false},
        {"plain + icons", plain + L" icons", plain_window, kShape1, false},
        {"plain + owner-drawn buttons", plain + L" ownerdraw", plain_window, kShape1, false},
        {"plain + owner-drawn buttons with icons", plain + L" ownerdraw icons", plain_window, kShape1, false},
        {"plain + banner animations", plain + L" animations", plain_window, kShape1, false},
        {"plain + all five", plain_manifest + L" fonts icons ownerdraw animations", plain_window, kShape1,
         false},
    };
    const bool history_only = argc > 2 && std::wstring(argv[2]) == L"history";
    if (history_only) programs.resize(3);
    for (Program& program : programs) {  // warm-up
        const Launch warm_up =
            launch(program.command, program.window_class, program.probe, false, program.folder);
        if (!warm_up.refused.empty()) return refuse(program, warm_up);
    }
    constexpr int kRuns = 9;
    for (int run = 0; run < kRuns; ++run) {
        // Taken in turn, so that whatever else the machine does falls on all alike.
        for (Program& program : programs) {
            const Launch measured =
                launch(program.command, program.window_class, program.probe, program.settle, program.folder);
            if (!measured.refused.empty()) return refuse(program, measured);
            program.paint_ms.push_back(measured.paint_ms);
            program.working_set_kib.push_back(measured.working_set_kib);
        }
    }
    std::printf("start-up to the first paint, medians of %d runs after a warm-up:\n", kRuns);
    const double plain_ms = history_only ? 0 : median(programs[4].paint_ms);
    for (Program& program : programs) {
        const double ms = median(program.paint_ms);
        std::printf("  %-40s %6.0f ms", program.name, ms);
        if (!history_only) std::printf("  (%+4.0f ms on the plain window)", ms - plain_ms);
        if (program.settle) std::printf("  working set %6.0f KiB", median(program.working_set_kib));
        std::printf("\n");
    }
    const double relinka_ms = median(programs[0].paint_ms);
    std::printf(
        "relinka.exe with a 1 MiB historico.txt %+.0f ms, with a damaged 50 MiB one %+.0f ms, against none\n",
        median(programs[1].paint_ms) - relinka_ms, median(programs[2].paint_ms) - relinka_ms);
    if (history_only) return 0;
    const double floor_ms = median(programs[3].paint_ms);
    std::printf("relinka.exe against the empty window: start-up %.2f times, working set %.2f times\n",
                relinka_ms / floor_ms,
                median(programs[0].working_set_kib) / median(programs[3].working_set_kib));
    std::printf(
        "relinka.exe against the plain-controls window: start-up %.2f times, working set %.2f times\n",
        relinka_ms / plain_ms, median(programs[0].working_set_kib) / median(programs[4].working_set_kib));
    return 0;
}
