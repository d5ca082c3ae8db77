// One supervision tick of the real window and the real EchoLink binding against the stand-in, with
// eight connected stations: its wall time and the EchoLink calls it makes (median of several ticks).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "support/bench_support.h"
#include "support/wine_support.h"

using namespace relinka;
using namespace relinka::testing;

int wmain() {
    ComApartment apartment;
    StandIn standin;
    standin.reset();
    standin->SetConnectDelay(0);
    WindowsDesktop desktop;
    MainWindowHere here(desktop);  // its ticks timed one by one
    if (!here.made) return refuse("the main window was not made");
    here.supervise(L"PU2AA");
    here.amigos.Timer1_Timer();  // connects all eight
    standin->ClearCallLog();

    constexpr int kTicks = 15;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> milliseconds;
    for (int tick = 0; tick < kTicks; ++tick) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        here.amigos.Timer1_Timer();
        QueryPerformanceCounter(&end);
        milliseconds.push_back(1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    }
    const std::wstring log = standin.log();
    const auto calls = std::count(log.begin(), log.end(), L'\n');
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf(
        "%d ticks with eight connected stations: %.1f EchoLink calls a tick, median %.2f ms a tick "
        "(fastest %.2f, slowest %.2f); label 8 reads \"%ls\"\n",
        kTicks, double(calls) / kTicks, milliseconds[kTicks / 2], milliseconds.front(), milliseconds.back(),
        text_of(here.window.control(kLabel1 + kSlots - 1)).c_str());
    return 0;
}
