// relinka.exe beside the stand-in with eight ticked stations: the CPU time taken in a minute with the
// window shown (the mouse pointer elsewhere), shown with the pointer resting on it, shown while the session
// is locked (the message Windows sends then; Wine sends none), and minimized, by relinka.exe and by the two
// Linux processes that do part of its work under Wine, the prefix's wineserver and the display's X server.
// Wine does not count a process's CPU time, so each is read from /proc/<pid>/stat. Prints a line saying what
// is counted, then one column of figures (a tab after each label), headed by the way Wine shows windows in
// this prefix (inside a virtual desktop, or each window its own X window) and the stations;
// bench/wine_benches runs it both ways and prints the columns side by side. The pointer is measured apart
// because Wine, unlike Windows, follows a pointer resting on a themed control (a check box, say) by polling
// it, every few tens of milliseconds, for as long as it rests there. Nothing passes or fails on time; a
// sample that cannot be counted (the stations not as asked, the window not minimized, a process gone or
// unreadable) stops it with the reason. Usage: cpu_bench [--one-refused] [--seconds N] [relinka.exe]
//   --one-refused: EchoLink refuses one of the eight, so that every tick waits 3 s for it.
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/amigos_layout.h"
#include "serving_processes.h"
#include "support/bench_support.h"
#include "support/process_counters.h"
#include "support/relinka_process.h"
#include "support/wine_support.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

constexpr DWORD kSettle = 5000;  // ms after each change, before measuring

// relinka.exe, the wineserver, the X server.
using Shares = std::array<double, 3>;

// The way Wine shows windows in this prefix, as its registry sets it.
std::string windows_shown() {
    wchar_t desktop[64] = {}, size[64] = {};
    DWORD bytes = sizeof desktop;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer", L"Desktop", RRF_RT_REG_SZ, nullptr,
                     desktop, &bytes) != ERROR_SUCCESS)
        return "no virtual desktop";
    bytes = sizeof size;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", desktop, RRF_RT_REG_SZ, nullptr,
                 size, &bytes);
    const std::wstring wide = size;
    return "virtual desktop " + std::string(wide.begin(), wide.end());
}

struct Phase {
    const char* name;
    std::function<void()> enter, leave;
    std::function<std::string()> wrong;  // why the sample cannot be counted; empty when it can
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool one_refused = false;
    DWORD seconds = 60;
    std::wstring program = beside_tests(L"relinka.exe");
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--one-refused")
            one_refused = true;
        else if (option == L"--seconds" && i + 1 < argc)
            seconds = std::wcstoul(argv[++i], nullptr, 10);
        else
            program = option;
    }
    ComApartment apartment;
    StandIn standin;
    standin.reset();
    standin->SetConnectDelay(0);
    // Callsigns of each way's own: a refusal stays with the stand-in.
    const std::wstring prefix = one_refused ? L"PU3AA" : L"PU2AA";
    if (one_refused)
        standin->RefuseCallsign(UniqueBstr(SysAllocString(station(prefix, kSlots).c_str())).get());
    const std::wstring directory = fresh_directory();
    if (!write_stations(directory, prefix)) return refuse("the friends file could not be written");
    RelinkaProcess relinka(directory, program);
    const HWND window = relinka.main_window();
    if (!window) return refuse("relinka.exe showed no main window");
    const bool as_asked = wait_until(
        [&] {
            for (int slot = 0; slot < kSlots; ++slot) {
                const bool connected = !(one_refused && slot == kSlots - 1);
                if (relinka.text(kLabel1 + slot) != (connected ? L"conectado" : L"desconectado"))
                    return false;
            }
            return true;
        },
        60'000);
    if (!as_asked)
        return refuse(one_refused ? "relinka.exe did not show seven stations connected and the eighth not"
                                  : "relinka.exe did not connect its eight stations");
    const LinuxProcess server = wineserver_of_this_prefix(), x_server = x_server_of_this_display();
    const long relinka_process =
        linux_process_in(directory, program.substr(program.find_last_of(L"\\/") + 1));
    if (!relinka_process) return refuse("relinka.exe's Linux process was not found");
    if (!server.id) return refuse("the prefix's wineserver was not found: " + server.not_found);
    if (!x_server.id) return refuse("the display's X server was not found: " + x_server.not_found);
    const std::array<long, 3> processes{relinka_process, server.id, x_server.id};

    DWORD session = 0;
    ProcessIdToSessionId(relinka.id(), &session);
    const auto running = [&] { return relinka.ended_within(0) ? "relinka.exe ended" : ""; };
    const auto pointer_away = [&] {
        POINT corner{0, 0};
        if (!SetCursorPos(corner.x, corner.y)) return std::string("the pointer could not be moved away");
        return std::string(GetAncestor(WindowFromPoint(corner), GA_ROOT) == window ? "the pointer rests on it"
                                                                                   : running());
    };
    RECT middle{};
    GetWindowRect(relinka.control(kCheck1 + 4), &middle);  // "conecta 5", in the middle of the window
    const std::vector<Phase> phases{
        {"shown", [] {}, [] {}, pointer_away},
        {"shown, pointer resting", [&] { SetCursorPos((middle.left + middle.right) / 2, middle.top + 4); },
         [&] { SetCursorPos(0, 0); },
         [&] {
             POINT at{};
             GetCursorPos(&at);
             return std::string(GetAncestor(WindowFromPoint(at), GA_ROOT) == window
                                    ? running()
                                    : "the pointer is not on it");
         }},
        {"shown, session locked",
         [&] { PostMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, session); },
         [&] { PostMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, session); }, running},
        {"minimized", [&] { PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0); },
         [&] { PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0); },
         [&] { return std::string(IsIconic(window) ? running() : "the window did not minimize"); }},
    };
    std::printf("CPU s a minute, over %lu s each: relinka.exe + %s + %s = sum\n\t%s\n\t%s\n", seconds,
                server.name.c_str(), x_server.name.c_str(), windows_shown().c_str(),
                one_refused ? "eight stations, one refused" : "eight connected stations");
    SetCursorPos(0, 0);
    for (const Phase& phase : phases) {
        phase.enter();
        Sleep(kSettle);
        const auto taken = [&] {
            Shares now;
            for (size_t i = 0; i < now.size(); ++i) now[i] = linux_cpu_seconds(processes[i]);
            return now;
        };
        const Shares before = taken();
        Sleep(seconds * 1000);
        const Shares after = taken();
        std::string wrong = phase.wrong();
        Shares minute;
        for (size_t i = 0; i < minute.size(); ++i) {
            if (before[i] < 0 || after[i] < 0)
                wrong =
                    "the CPU time of Linux process " + std::to_string(processes[i]) + " could not be read";
            minute[i] = (after[i] - before[i]) * 60.0 / seconds;
        }
        if (!wrong.empty()) return refuse(std::string(phase.name) + ": " + wrong);
        phase.leave();
        std::printf("%s\t%.2f + %.2f + %.2f = %.2f\n", phase.name, minute[0], minute[1], minute[2],
                    minute[0] + minute[1] + minute[2]);
    }
    return 0;
}
