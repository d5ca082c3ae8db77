// One supervision tick of the real window and the real EchoLink binding against the stand-in, with
// eight connected stations: its wall time and the EchoLink calls it makes (median of several ticks).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "../tests/win/wine_support.h"
#include "app/amigos_window_win.h"
#include "echolink/com_echolink_win.h"

using namespace relinka;
using namespace relinka::testing;

int wmain() {
    ComApartment apartment;
    StandIn standin;
    standin.reset();
    standin->SetConnectDelay(0);
    WindowsDesktop desktop;
    Annotations annotations(system_annotation_service);
    AmigosWindow window(desktop, annotations);
    window.create();
    Amigos amigos(window, desktop, [](std::function<void()> on_closing) -> std::unique_ptr<EchoLink> {
        return ComEchoLink::create(std::move(on_closing));
    });
    window.attach(amigos);
    amigos.Form_Load();
    window.SetTimerEnabled(false);  // the ticks below are timed one by one
    for (int slot = 1; slot <= kSlots; ++slot) {
        window.SetText(slot, L"PU2A" + std::wstring(1, static_cast<wchar_t>(L'A' + slot)));
        window.SetCheck(slot, 1);
    }
    amigos.Timer1_Timer();  // connects all eight
    standin->ClearCallLog();

    constexpr int kTicks = 15;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> milliseconds;
    for (int tick = 0; tick < kTicks; ++tick) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        amigos.Timer1_Timer();
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
        text_of(window.control(kLabel1 + kSlots - 1)).c_str());
    return 0;
}
