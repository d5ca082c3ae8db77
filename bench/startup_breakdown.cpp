// Where relinka.exe's start-up goes: each step it takes before (or just after) its first paint, timed in
// a fresh process as the program takes them, beside the stand-in; medians of several processes.
// Usage: startup_breakdown   (startup_breakdown --once is one such process, printing its own figures)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "../tests/win/wine_support.h"
#include "app/amigos.h"
#include "app/amigos_window_win.h"
#include "echolink/com_echolink_win.h"
#include "resources.h"
#include "win32/fonts_win.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

void step(const char* name, const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("%s\t%.2f\n", name, took.count());
}

// From the process's creation to its first line of code: loading the program and the DLLs it imports.
double milliseconds_since_process_start() {
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return double(ticks(now) - ticks(created)) / 10000.0;
}

// One start-up, step by step in the program's order, up to the first paint and then what follows it;
// each step pays its own first-use costs. The parts of the main window are taken first on their own.
int once() {
    std::printf("process loaded, up to its first line\t%.2f\n", milliseconds_since_process_start());
    std::unique_ptr<ComApartment> apartment;
    step("COM started", [&] { apartment = std::make_unique<ComApartment>(); });
    step("font faces looked up", [] {
        installed_face(L"MS Sans Serif", 96);
        installed_face(L"Times New Roman", 96);
    });
    step("button icons loaded", [] {
        for (int icon : {IDI_GRAVAR, IDI_LER, IDI_AJUDA, IDI_SOBRE, IDI_ENCERRAR, IDI_DESCONECTAR,
                         IDI_DESCONECTAR_TODOS})
            DestroyIcon(static_cast<HICON>(
                LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icon), IMAGE_ICON, 32, 32, 0)));
    });
    WindowsDesktop desktop;
    Annotations annotations(system_annotation_service);
    std::unique_ptr<AmigosWindow> window;
    step("main window and the rest of its controls made", [&] {
        window = std::make_unique<AmigosWindow>(desktop, annotations);
        window->create();
    });
    std::unique_ptr<ComEchoLink> link;
    step("EchoLink's object created, Closing subscribed", [&] { link = ComEchoLink::create([] {}); });
    Amigos amigos(*window, desktop,
                  [&](std::function<void()>) -> std::unique_ptr<EchoLink> { return std::move(link); });
    window->attach(amigos);
    step("start-up handler: timer, indicator, friends file", [&] { amigos.Form_Load(); });
    step("window shown and painted: the first paint", [&] { window->show(); });
    step("after it: the libraries COM no longer uses let go", [] { CoFreeUnusedLibrariesEx(0, 0); });
    step("after it: GDI+ started, the banner animations decoded and painted, the controls described", [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        UpdateWindow(window->hwnd());
    });
    step("after it: Closing's id read from the type library, when the first event comes",
         [] { ClosingSink::registered_closing_dispid(); });
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--once") return once();
    constexpr int kRuns = 7;
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> figures;
    for (int run = 0; run < kRuns; ++run) {
        const std::wstring command = L"\"" + beside_tests(L"startup_breakdown.exe") + L"\" --once";
        FILE* child = _wpopen(command.c_str(), L"r");
        char line[256];
        while (child && std::fgets(line, sizeof line, child)) {
            char* tab = std::strchr(line, '\t');
            if (!tab) continue;
            const std::string name(line, tab);
            if (!figures.count(name)) order.push_back(name);
            figures[name].push_back(std::atof(tab + 1));
        }
        if (child) _pclose(child);
    }
    double total = 0;
    for (const std::string& name : order) {
        std::vector<double>& values = figures[name];
        std::sort(values.begin(), values.end());
        const double median = values[values.size() / 2];
        if (name.rfind("after it", 0) != 0) total += median;
        std::printf("%8.1f ms  %s\n", median, name.c_str());
    }
    std::printf("%8.1f ms  up to the first paint (medians of %d fresh processes)\n", total, kRuns);
    return 0;
}
