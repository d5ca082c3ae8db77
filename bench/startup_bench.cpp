// relinka.exe started several times beside the stand-in, against the floor (bench/startup_floor.cpp):
// the time from process start to the first paint (relinka.exe's indicator green on the screen, the
// floor's window green), and the working set once it has settled; medians, and their ratios.
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

Launch launch(const std::wstring& program, int probe) {
    std::wstring command = L"\"" + program + L"\"";
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
    pump_for(2000);
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    result.working_set_kib = double(memory.WorkingSetSize) / 1024.0;
    if (const HWND window = visible_window_of(process.dwProcessId)) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ComApartment apartment;
    StandIn standin;  // running already, as EchoLink would be
    const std::wstring relinka = argc > 1 ? argv[1] : beside_tests(L"relinka.exe");
    constexpr int kRuns = 9;
    std::vector<double> paint_ms[2], working_set_kib[2];
    const wchar_t* names[2] = {L"relinka.exe", L"floor"};
    for (int run = 0; run < kRuns; ++run) {
        // Taken in turn, so that whatever else the machine does falls on both alike.
        const Launch measured[2] = {launch(relinka, kShape1), launch(beside_tests(L"startup_floor.exe"), 0)};
        for (int which = 0; which < 2; ++which) {
            paint_ms[which].push_back(measured[which].paint_ms);
            working_set_kib[which].push_back(measured[which].working_set_kib);
            std::printf("run %d, %ls: first paint after %.0f ms, working set %.0f KiB\n", run + 1,
                        names[which], measured[which].paint_ms, measured[which].working_set_kib);
        }
    }
    const double paint[2] = {median(paint_ms[0]), median(paint_ms[1])};
    const double memory[2] = {median(working_set_kib[0]), median(working_set_kib[1])};
    std::printf("medians of %d runs: relinka.exe %.0f ms, %.0f KiB; floor %.0f ms, %.0f KiB\n", kRuns,
                paint[0], memory[0], paint[1], memory[1]);
    std::printf("relinka.exe against the floor: start-up to first paint %.2f times, working set %.2f times\n",
                paint[0] / paint[1], memory[0] / memory[1]);
    return 0;
}
