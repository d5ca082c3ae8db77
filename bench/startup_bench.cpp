// relinka.exe started several times beside the stand-in, against two floors: an empty window
// (bench/startup_floor.cpp) and the same main window of plain controls (bench/startup_plain_window.cpp),
// and against that plain window with each of relinka.exe's own pieces added alone, so that each piece's
// cost shows. For each: the time from process start to the first paint (the indicator green on the
// screen; the empty floor's window green); for relinka.exe and the floors also the working set once it
// has settled. Medians of runs taken in turn after a warm-up, and their ratios.
// Usage: startup_bench [relinka.exe to measure]   (by default the one beside this program)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "../tests/win/relinka_process.h"
#include "../tests/win/wine_support.h"
#include "app/amigos_layout.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

struct Launch {
    double paint_ms = 0, working_set_kib = 0;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK note_visible_window(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND visible_window_of(DWORD process) {
    Search search{process, nullptr};
    EnumWindows(note_visible_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The program's window painted: `probe` (a control id, or 0 for the client area's top-left corner) shows
// green on the screen.
bool painted(DWORD process, int probe) {
    const HWND window = visible_window_of(process);
    if (!window) return false;
    const HWND target = probe ? GetDlgItem(window, probe) : window;
    if (!target) return false;
    RECT area;
    GetClientRect(target, &area);
    POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ClientToScreen(target, &middle);
    return GetPixel(WindowDc(nullptr).get(), middle.x, middle.y) == RGB(0, 255, 0);
}

// One start of `command`, closed once painted (and, when `settle`, once it has run 2 s).
Launch launch(std::wstring command, int probe, bool settle) {
    const std::wstring directory = fresh_directory();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, shown;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                        &startup, &process))
        return {};
    while (!painted(process.dwProcessId, probe) &&
           WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT) {
    }
    QueryPerformanceCounter(&shown);
    Launch result;
    result.paint_ms = 1000.0 * double(shown.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    if (settle) {
        pump_for(2000);
        PROCESS_MEMORY_COUNTERS memory{};
        GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
        result.working_set_kib = double(memory.WorkingSetSize) / 1024.0;
    }
    if (const HWND window = visible_window_of(process.dwProcessId)) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

struct Program {
    const char* name;
    std::wstring command;
    int probe;
    bool settle;  // its working set is measured
    std::vector<double> paint_ms, working_set_kib;
};

std::wstring quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ComApartment apartment;
    StandIn standin;  // running already, as EchoLink would be
    const std::wstring relinka = quoted(argc > 1 ? argv[1] : beside_tests(L"relinka.exe"));
    const std::wstring plain = quoted(beside_tests(L"startup_plain_window.exe"));
    const std::wstring plain_manifest = quoted(beside_tests(L"startup_plain_window_manifest.exe"));
    std::vector<Program> programs{
        {"relinka.exe", relinka, kShape1, true},
        {"empty window", quoted(beside_tests(L"startup_floor.exe")), 0, true},
        {"plain controls", plain, kShape1, true},
        {"plain + relinka.exe's manifest", plain_manifest, kShape1, false},
        {"plain + our font lookup", plain + L" fonts", kShape1, false},
        {"plain + icons", plain + L" icons", kShape1, false},
        {"plain + owner-drawn buttons", plain + L" ownerdraw", kShape1, false},
        {"plain + owner-drawn buttons with icons", plain + L" ownerdraw icons", kShape1, false},
        {"plain + banner animations", plain + L" animations", kShape1, false},
        {"plain + all five", plain_manifest + L" fonts icons ownerdraw animations", kShape1, false},
    };
    for (Program& program : programs) launch(program.command, program.probe, false);  // warm-up
    constexpr int kRuns = 9;
    for (int run = 0; run < kRuns; ++run) {
        // Taken in turn, so that whatever else the machine does falls on all alike.
        for (Program& program : programs) {
            const Launch measured = launch(program.command, program.probe, program.settle);
            program.paint_ms.push_back(measured.paint_ms);
            program.working_set_kib.push_back(measured.working_set_kib);
        }
    }
    std::printf("start-up to the first paint, medians of %d runs after a warm-up:\n", kRuns);
    const double floor_ms = median(programs[1].paint_ms), plain_ms = median(programs[2].paint_ms);
    for (Program& program : programs) {
        const double ms = median(program.paint_ms);
        std::printf("  %-40s %6.0f ms  (%+4.0f ms on the plain window)", program.name, ms, ms - plain_ms);
        if (program.settle) std::printf("  working set %6.0f KiB", median(program.working_set_kib));
        std::printf("\n");
    }
    const double relinka_ms = median(programs[0].paint_ms);
    std::printf("relinka.exe against the empty window: start-up %.2f times, working set %.2f times\n",
                relinka_ms / floor_ms,
                median(programs[0].working_set_kib) / median(programs[1].working_set_kib));
    std::printf(
        "relinka.exe against the plain-controls window: start-up %.2f times, working set %.2f times\n",
        relinka_ms / plain_ms, median(programs[0].working_set_kib) / median(programs[2].working_set_kib));
    return 0;
}
