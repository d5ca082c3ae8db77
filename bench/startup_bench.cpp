// relinka.exe started several times beside the stand-in: the time from process start to the main
// window's first paint (its indicator green on the screen), and the working set once it has settled.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "../tests/win/relinka_process.h"
#include "../tests/win/wine_support.h"
#include "app/amigos_layout.h"

using namespace relinka;
using namespace relinka::testing;

namespace {
double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
}  // namespace

int wmain() {
    ComApartment apartment;
    StandIn standin;  // running already, as EchoLink would be
    constexpr int kRuns = 7;
    std::vector<double> paint_ms, working_set_kib;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int run = 0; run < kRuns; ++run) {
        LARGE_INTEGER start, painted;
        QueryPerformanceCounter(&start);
        RelinkaProcess program(fresh_directory());
        wait_until([&] { return program.main_window(0) && program.pixel(kShape1, 20, 16) == RGB(0, 255, 0); },
                   20000);
        QueryPerformanceCounter(&painted);
        paint_ms.push_back(1000.0 * double(painted.QuadPart - start.QuadPart) / double(frequency.QuadPart));
        pump_for(2000);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.id());
        PROCESS_MEMORY_COUNTERS memory{};
        GetProcessMemoryInfo(process, &memory, sizeof memory);
        CloseHandle(process);
        working_set_kib.push_back(double(memory.WorkingSetSize) / 1024.0);
        std::printf("run %d: first paint after %.0f ms, working set %.0f KiB\n", run + 1, paint_ms.back(),
                    working_set_kib.back());
    }
    std::printf("median of %d runs: first paint after %.0f ms, working set %.0f KiB\n", kRuns,
                median(paint_ms), median(working_set_kib));
    return 0;
}
