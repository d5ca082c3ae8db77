// What a screen reader is told of relinka.exe over a minute beside the stand-in, with one station that
// drops at 20 s and is connected again by the supervision: every live-region event the program raises,
// as a screen reader outside it receives them (an out-of-context WinEvent hook), with the caption of the
// control that raised it, and the ticks of the minute, so that the events can be set against them.
// Usage: announcements_bench
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/amigos_layout.h"
#include "support/bench_support.h"
#include "support/relinka_process.h"
#include "support/wine_support.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

ULONGLONG minute_start = 0;
int events = 0;

void CALLBACK on_live_region_changed(HWINEVENTHOOK, DWORD, HWND control, LONG, LONG, DWORD, DWORD) {
    ++events;
    std::printf("%6.1f s  live region %d changed, now \"%ls\"\n",
                double(GetTickCount64() - minute_start) / 1000, GetDlgCtrlID(control),
                text_of(control).c_str());
}

}  // namespace

int wmain() {
    ComApartment apartment;
    StandIn standin;
    standin.reset();  // a connection comes up 1.5 s after it is asked for, as over the network
    RelinkaProcess relinka(fresh_directory());
    if (!relinka.main_window()) return refuse("relinka.exe showed no main window");
    relinka.type(kText1, L"PU2ABC");
    relinka.click(kCheck1);
    if (!wait_until([&] { return relinka.text(kLabel1) == L"conectado"; }, kTick))
        return refuse("PU2ABC was not connected within a tick");

    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        on_live_region_changed, relinka.id(), 0, WINEVENT_OUTOFCONTEXT);
    standin->ClearCallLog();
    minute_start = GetTickCount64();
    pump_for(20000);
    std::printf("%6.1f s  the network drops PU2ABC\n", double(GetTickCount64() - minute_start) / 1000);
    standin.drop_link(L"PU2ABC");
    pump_for(40000);
    UnhookWinEvent(hook);

    // Each tick asks EchoLink twice whether the station is connected.
    const std::wstring log = standin.log();
    int questions = 0;
    for (size_t at = log.find(L"IsConnected"); at != std::wstring::npos;
         at = log.find(L"IsConnected", at + 1))
        ++questions;
    std::printf("one minute, %d ticks: %d live-region events; label 1 reads \"%ls\"\n", questions / 2, events,
                relinka.text(kLabel1).c_str());
    return 0;
}
