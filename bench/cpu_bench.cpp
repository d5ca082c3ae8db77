// relinka.exe beside the stand-in with eight connected stations: the CPU time its process takes in a
// minute with the window shown, then minimized. Wine does not count a process's CPU time, so it is read
// from /proc/<pid>/stat of the program's Linux process. Prints figures; nothing passes or fails.
// Usage: cpu_bench [relinka.exe to measure] [seconds measured each way]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../tests/win/process_counters.h"
#include "../tests/win/relinka_process.h"
#include "../tests/win/wine_support.h"
#include "app/amigos_layout.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

constexpr DWORD kSettle = 5000;  // ms after each change, before measuring

// CPU seconds a minute taken by a Linux process over `seconds` from now.
double cpu_a_minute(long linux_process, DWORD seconds) {
    const double start = linux_cpu_seconds(linux_process);
    Sleep(seconds * 1000);
    return (linux_cpu_seconds(linux_process) - start) * 60.0 / seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring program = argc > 1 && *argv[1] ? argv[1] : beside_tests(L"relinka.exe");
    const DWORD seconds = argc > 2 ? std::wcstoul(argv[2], nullptr, 10) : 60;
    ComApartment apartment;
    StandIn standin;
    standin.reset();
    standin->SetConnectDelay(0);
    const std::wstring directory = fresh_directory();
    {
        const UniqueFile friends(CreateFileW((directory + L"\\amigos.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_NEW, 0, nullptr));
        const std::string eight =
            "PU2AAA\r\nPU2AAB\r\nPU2AAC\r\nPU2AAD\r\nPU2AAE\r\nPU2AAF\r\nPU2AAG\r\nPU2AAH\r\n";
        DWORD written = 0;
        WriteFile(friends.get(), eight.data(), static_cast<DWORD>(eight.size()), &written, nullptr);
    }
    RelinkaProcess relinka(directory, program);
    const HWND window = relinka.main_window();
    const bool connected = window && wait_until(
                                         [&] {
                                             for (int slot = 0; slot < kSlots; ++slot)
                                                 if (relinka.text(kLabel1 + slot) != L"conectado")
                                                     return false;
                                             return true;
                                         },
                                         60'000);
    const long linux_process = linux_process_in(directory, program.substr(program.find_last_of(L"\\/") + 1));
    if (!connected || !linux_process) {
        std::printf("relinka.exe did not connect its eight stations, or its Linux process was not found\n");
        return 1;
    }
    Sleep(kSettle);
    const double shown = cpu_a_minute(linux_process, seconds);
    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Sleep(kSettle);
    const bool minimized = IsIconic(window);
    const double at_rest = cpu_a_minute(linux_process, seconds);
    PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    std::printf(
        "%ls, eight connected stations, %lu s each way: CPU %.2f s a minute shown (%.1f %% of a core), "
        "%.2f s a minute minimized%s (%.1f %%)\n",
        program.c_str(), seconds, shown, shown / 0.6, at_rest, minimized ? "" : " (NOT minimized)",
        at_rest / 0.6);
    return 0;
}
