// One supervision tick of the real window and the real EchoLink binding against the stand-in, with
// eight connected stations, and again with one of them refused (its wait before the connect request not
// waited for, so that the tick's own cost shows): its wall time and the EchoLink calls it makes. Each
// by two windows taken in turn: one as before, one watched by the connection history as relinka.exe
// has it (writing historico.txt to a folder of its own). Medians of several ticks.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/amigos_window_win.h"
#include "app/connection_history_win.h"
#include "echolink/com_echolink_win.h"
#include "history/windows_clock_win.h"
#include "support/bench_support.h"
#include "support/relinka_process.h"
#include "support/wine_support.h"
#include "winlib/shell_open_win.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

// The real desktop, but the tick's wait before a connect request returns at once.
class NoWaitDesktop : public SystemDesktop {
public:
    void sleep(unsigned) override {}
};

std::wstring callsign(int slot) { return L"PU2A" + std::wstring(1, static_cast<wchar_t>(L'A' + slot)); }

struct Supervision {
    explicit Supervision(bool watched) {
        made = window.create();
        if (watched) {
            history = std::make_unique<ConnectionHistory>(window.hwnd(), fresh_directory(), clock,
                                                          system_taskbar_list, annotations, system_screen(),
                                                          open_in_background);
            window.follow_with(*history);
            amigos.observe_with(history->observer());
        }
        window.attach(amigos);
        amigos.Form_Load();
        window.SetTimerEnabled(false);  // the ticks below are timed one by one
        for (int slot = 1; slot <= kSlots; ++slot) {
            window.SetText(slot, callsign(slot));
            window.SetCheck(slot, 1);
        }
    }
    ~Supervision() {
        if (history) history->finish(5000);
    }
    double tick() {
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        amigos.Timer1_Timer();
        QueryPerformanceCounter(&end);
        return 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    }

    NoWaitDesktop desktop;
    Annotations annotations{system_annotation_service};
    Shell shell;
    AmigosWindow window{desktop, shell, annotations};
    WindowsClock clock;
    std::unique_ptr<ConnectionHistory> history;
    bool made = false;  // false when Windows would not make the window
    Amigos amigos{window, desktop, [](std::function<void()> on_closing) -> std::unique_ptr<EchoLink> {
                      return ComEchoLink::create(std::move(on_closing));
                  }};
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void handle_waiting_messages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) dispatch_message(message);
}

}  // namespace

int wmain() {
    ComApartment apartment;
    StandIn standin;
    standin.reset();
    standin->SetConnectDelay(0);
    Supervision plain(false), watched(true);
    if (!plain.made || !watched.made) return refuse("the main window was not made");
    plain.tick();  // connects all eight
    watched.tick();
    for (const bool refused : {false, true}) {
        if (refused) {
            standin->RefuseCallsign(UniqueBstr(SysAllocString(callsign(kSlots).c_str())).get());
            standin.drop_link(callsign(kSlots));
        }
        plain.tick();
        watched.tick();
        standin->ClearCallLog();
        constexpr int kTicks = 31;
        std::vector<double> without, with;
        for (int tick = 0; tick < kTicks; ++tick) {
            // Each goes first in turn, so that what the machine does meanwhile falls on both alike.
            if (tick % 2) without.push_back(plain.tick());
            with.push_back(watched.tick());
            if (tick % 2 == 0) without.push_back(plain.tick());
            handle_waiting_messages();
        }
        const std::wstring log = standin.log();
        const auto calls = std::count(log.begin(), log.end(), L'\n');
        std::printf(
            "%d ticks each with eight stations%s: %.1f EchoLink calls a tick; median %.2f ms a tick without "
            "the history, %.2f ms with it (%+.2f ms); label 8 reads \"%ls\"\n",
            kTicks, refused ? ", the eighth refused" : " connected", double(calls) / (2 * kTicks),
            median(without), median(with), median(with) - median(without),
            text_of(watched.window.control(kLabel1 + kSlots - 1)).c_str());
    }
    // What the history itself adds to a tick that changes nothing, alone: the eight readings it is told.
    SupervisionObserver& observer = watched.history->observer();
    constexpr int kQuietTicks = 100'000;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int tick = 0; tick < kQuietTicks; ++tick) {
        for (int slot = 1; slot <= kSlots; ++slot) observer.read(slot, callsign(slot), slot != kSlots);
        observer.tick_ended(17, 0);
    }
    QueryPerformanceCounter(&end);
    std::printf("the history's own work in a tick that changes nothing: %.2f microseconds\n",
                1e6 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart) / kQuietTicks);
    return 0;
}
