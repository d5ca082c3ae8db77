// Months of the program's life in one process and a few minutes: the banners' frames, supervision ticks
// against the stand-in, a month of the connection history with a station dropping every minute (on a
// clock of the soak's own), and openings of Help, About and the tick's message, each many times over, with
// what the process holds counted at 20 checkpoints after a warm-up. Nothing waits that would only wait:
// the tick's sleep returns at once, and each window or message box is closed as soon as it has shown.
// Each banner is brought its frames by the soak alone, as many as it shows: the link banner 200,000, the
// tower its whole life (10 frames, 9999 loops); the screen is read to prove they were drawn, and a frame
// that did not change it stops the soak with the reason. Prints the growth per thousand and what it makes
// in 30 days; nothing passes or fails.
// Usage: soak_bench [fraction [part]]   (that fraction of the full soak, for a quick look; only the
// parts whose name holds `part`: "frames", "link", "tower", "ticks", "history", "message", "Help", "icons",
// "About")
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/amigos_window_win.h"
#include "app/connection_history_win.h"
#include "echolink/com_echolink_win.h"
#include "history/history_line.h"
#include "resources.h"
#include "screen_area.h"
#include "support/bench_support.h"
#include "support/process_counters.h"
#include "support/relinka_process.h"
#include "support/wine_support.h"
#include "winlib/animation_win.h"
#include "winlib/annotations_win.h"
#include "winlib/shell_open_win.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

constexpr int kCheckpoints = 20;
constexpr double kDays = 30;
constexpr double kOpeningsADay = 10;  // of each window, by a busy operator

// Closes the next window of this thread that shows with this class (and caption, if given), by posting
// it `message`, from a thread timer that fires once the window's own loop is waiting.
class CloseWhenShown {
public:
    static void arm(const wchar_t* window_class, const wchar_t* caption, UINT message, WPARAM wparam) {
        wanted_ = {window_class, caption, message, wparam};
        SetTimer(nullptr, 0, 0, look);
    }

private:
    struct Wanted {
        const wchar_t* window_class;
        const wchar_t* caption;
        UINT message;
        WPARAM wparam;
    };
    static BOOL CALLBACK close_if_wanted(HWND window, LPARAM found) {
        wchar_t name[64], caption[64];
        GetClassNameW(window, name, 64);
        GetWindowTextW(window, caption, 64);
        if (!IsWindowVisible(window) || lstrcmpW(name, wanted_.window_class) != 0 ||
            (wanted_.caption && lstrcmpW(caption, wanted_.caption) != 0))
            return TRUE;
        PostMessageW(window, wanted_.message, wanted_.wparam, 0);
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    static void CALLBACK look(HWND, UINT, UINT_PTR timer, DWORD) {
        bool found = false;
        EnumThreadWindows(GetCurrentThreadId(), close_if_wanted, reinterpret_cast<LPARAM>(&found));
        if (found) KillTimer(nullptr, timer);
    }
    static inline Wanted wanted_{};
};

// The real desktop, but the tick's sleep does not wait and its message is answered as soon as it shows.
class SoakDesktop : public SystemDesktop {
public:
    void sleep(unsigned) override {}
    int message_box(std::wstring_view text, std::wstring_view title, unsigned style) override {
        CloseWhenShown::arm(L"#32770", nullptr, WM_COMMAND, IDOK);
        return SystemDesktop::message_box(text, title, style);
    }
};

void handle_waiting_messages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) dispatch_message(message);
}

// One banner's frames, brought one by one by the soak; every 97th frame, and the last of the phase, is
// looked at on the screen before and after it is brought, and must have changed what the screen shows.
class BannerFrames {
public:
    BannerFrames(const char* name, HWND animation) : name_(name), animation_(animation), screen_(animation) {
        KillTimer(animation, kAnimationFrameTimer);
    }

    void next(long units) {
        const bool look = ++brought_ % 97 == 0 || brought_ == units;
        if (look) screen_.changed();
        bring();
        if (look) {
            ++looked_;
            if (!screen_.changed() && !unchanged_at_) unchanged_at_ = brought_;
        }
        // Now and then the window system's own work, as the message loop would do it.
        if (brought_ % 100 == 0) handle_waiting_messages();
    }

    // How many of `frames` more, each looked at, changed the screen.
    int changes_in(int frames) {
        screen_.changed();
        int changes = 0;
        for (int frame = 0; frame < frames; ++frame) {
            bring();
            changes += screen_.changed();
        }
        return changes;
    }

    // Why the frames brought cannot be counted as drawn; empty when every one looked at was.
    std::string not_drawn() const {
        if (const HWND cover = screen_.covered_by()) {
            wchar_t name[64] = {};
            GetClassNameW(cover, name, 64);
            return std::string(name_) + " banner is covered on the screen (by a window of class \"" +
                   std::string(name, name + lstrlenW(name)) + "\"): its frames cannot be seen";
        }
        if (!unchanged_at_) return {};
        return std::string(name_) + " banner's area on the screen did not change at frame " +
               std::to_string(unchanged_at_) + ": a frame the soak counted was not drawn";
    }
    void print_proof() const {
        std::printf(
            "on the screen: the %s banner's area changed at each of the %ld frames looked at (every "
            "97th, and the last)\n",
            name_, looked_);
    }

private:
    // Its frames come from the soak alone, its own timer stopped each time: the frames counted are the
    // frames shown.
    void bring() {
        SendMessageW(animation_, WM_TIMER, kAnimationFrameTimer, 0);
        KillTimer(animation_, kAnimationFrameTimer);
        UpdateWindow(animation_);
    }

    const char* name_;
    HWND animation_;
    ScreenArea screen_;
    long brought_ = 0, looked_ = 0, unchanged_at_ = 0;
};

// The soak's own time, a minute a step.
struct SoakClock : Clock {
    LocalTime time{1'765'290'131, -180};
    LocalTime now() override { return time; }
};

LONGLONG size_of(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return LONGLONG{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
}

// Growth per unit, by least squares over the checkpoints.
double slope(const std::vector<double>& units, const std::vector<double>& values) {
    double mean_x = 0, mean_y = 0;
    for (size_t i = 0; i < units.size(); ++i) mean_x += units[i], mean_y += values[i];
    mean_x /= double(units.size());
    mean_y /= double(units.size());
    double covariance = 0, variance = 0;
    for (size_t i = 0; i < units.size(); ++i) {
        covariance += (units[i] - mean_x) * (values[i] - mean_y);
        variance += (units[i] - mean_x) * (units[i] - mean_x);
    }
    return covariance / variance;
}

struct Phase {
    const char* what;  // "frames of the link banner"
    long units;        // the warm-up's included
    double in_30_days;
    const char* counted_as;  // how the 30 days were counted
    std::function<void()> one;
};

bool chosen(const char* what, const std::string& only) { return std::strstr(what, only.c_str()); }

void run(const Phase& phase, const std::string& only) {
    if (!chosen(phase.what, only)) return;
    const long warm_up = std::max(1L, phase.units / 20);
    std::printf("\n== %ld %s (the first %ld a warm-up)\n", phase.units, phase.what, warm_up);
    for (long unit = 0; unit < warm_up; ++unit) phase.one();
    handle_waiting_messages();
    std::vector<double> done, gdi, windows, handles, kib;
    const auto note = [&](long units) {
        const ProcessCounters now = count_this_process();
        done.push_back(double(units));
        gdi.push_back(now.gdi_objects);
        windows.push_back(now.windows);
        handles.push_back(now.kernel_handles);
        kib.push_back(now.private_kib);
        std::printf("%9ld  GDI %5ld  windows %3ld  handles %4ld  private %9.0f KiB\n", units, now.gdi_objects,
                    now.windows, now.kernel_handles, now.private_kib);
    };
    const ULONGLONG started = GetTickCount64();
    note(warm_up);
    for (int checkpoint = 1; checkpoint <= kCheckpoints; ++checkpoint) {
        const long until = warm_up + (phase.units - warm_up) * checkpoint / kCheckpoints;
        for (long unit = long(done.back()); unit < until; ++unit) phase.one();
        handle_waiting_messages();
        note(until);
    }
    const auto same = [](const std::vector<double>& values) {
        for (double value : values)
            if (value != values.front()) return false;
        return true;
    };
    std::printf("took %.0f s; counts identical at every checkpoint: GDI %s, windows %s, handles %s\n",
                double(GetTickCount64() - started) / 1000.0, same(gdi) ? "yes" : "NO",
                same(windows) ? "yes" : "NO", same(handles) ? "yes" : "NO");
    const double per_unit[] = {slope(done, gdi), slope(done, windows), slope(done, handles),
                               slope(done, kib) * 1024.0};
    std::printf(
        "growth per thousand: GDI %+.3f, windows %+.3f, handles %+.3f, private %+.1f bytes (%+.3f a unit)\n",
        per_unit[0] * 1000, per_unit[1] * 1000, per_unit[2] * 1000, per_unit[3] * 1000, per_unit[3]);
    // The heap grows and gives back in steps: the line through the checkpoints can fall.
    std::printf("private memory: first %.0f KiB, last %.0f KiB, highest %.0f KiB\n", kib.front(), kib.back(),
                *std::max_element(kib.begin(), kib.end()));
    const auto grown = [&](double per) { return std::max(0.0, per) * phase.in_30_days; };
    std::printf("in 30 days (%.0f: %s): GDI %+.0f, windows %+.0f, handles %+.0f, private %+.2f MiB\n",
                phase.in_30_days, phase.counted_as, grown(per_unit[0]), grown(per_unit[1]),
                grown(per_unit[2]), grown(per_unit[3]) / 1048576.0);
}

// Each counter moves by what is made in the process and back by what is let go.
void show_that_the_counters_count() {
    const ProcessCounters before = count_this_process();
    std::vector<UniqueBrush> brushes;
    for (int i = 0; i < 100; ++i) brushes.emplace_back(CreateSolidBrush(RGB(i, 0, 0)));
    std::vector<HWND> windows;
    for (int i = 0; i < 3; ++i)
        windows.push_back(
            CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    std::vector<UniqueFile> events;
    for (int i = 0; i < 10; ++i) events.emplace_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    constexpr SIZE_T kTouched = 4 << 20;
    auto* memory =
        static_cast<char*>(VirtualAlloc(nullptr, kTouched, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    for (SIZE_T byte = 0; byte < kTouched; byte += 4096) memory[byte] = 1;
    const ProcessCounters holding = count_this_process();
    brushes.clear();
    for (HWND window : windows) DestroyWindow(window);
    events.clear();
    VirtualFree(memory, 0, MEM_RELEASE);
    const ProcessCounters after = count_this_process();
    std::printf(
        "counters checked: 100 brushes made %+ld GDI objects, freed %+ld; 3 windows %+ld, destroyed %+ld; "
        "10 events %+ld handles, closed %+ld; 4096 KiB touched %+.0f KiB, freed %+.0f KiB\n",
        holding.gdi_objects - before.gdi_objects, after.gdi_objects - holding.gdi_objects,
        holding.windows - before.windows, after.windows - holding.windows,
        holding.kernel_handles - before.kernel_handles, after.kernel_handles - holding.kernel_handles,
        holding.private_kib - before.private_kib, after.private_kib - holding.private_kib);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const double fraction = argc > 1 ? std::wcstod(argv[1], nullptr) : 1.0;
    const std::wstring part = argc > 2 ? argv[2] : L"";
    const std::string only(part.begin(), part.end());
    const auto scaled = [&](long units) {
        return std::max(kCheckpoints * 2L, std::lround(units * fraction));
    };

    ComApartment apartment;
    StandIn standin;
    standin.reset();
    standin->SetConnectDelay(0);
    SoakDesktop desktop;
    MainWindowHere here(desktop);
    if (!here.made) return refuse("the main window was not made");
    AmigosWindow& window = here.window;
    Amigos& amigos = here.amigos;
    window.show();
    // The banners' pictures decoded, and not one frame brought by their own timers, which stop here.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_TIMER + 1, ~0u, PM_REMOVE))
        dispatch_message(message);
    BannerFrames link("link", window.control(kAniGIF2)), tower("tower", window.control(kAniGIF1));
    show_that_the_counters_count();

    // The link banner repeats without end; the tower stops after 9999 loops of its 10 frames: the first
    // shows as it opens, each frame message brings the next.
    constexpr long kLinkFrames = 200'000, kTowerLife = 10L * 9999 - 1;
    const auto frames_of = [&](BannerFrames& banner, long units, double in_30_days, const char* counted_as,
                               const char* what) -> int {
        const Phase phase{what, units, in_30_days, counted_as, [&banner, units] { banner.next(units); }};
        if (!chosen(what, only)) return 0;
        run(phase, only);
        const std::string refused = banner.not_drawn();
        if (!refused.empty()) return refuse("the frames: the " + refused);
        banner.print_proof();
        return 0;
    };
    if (const int refused =
            frames_of(link, scaled(kLinkFrames), kDays * 86'400 * 1000 / 70,
                      "its frames of 70 ms, the window always shown", "frames of the link banner"))
        return refused;
    const long tower_frames = std::min(scaled(kTowerLife), kTowerLife);
    if (const int refused = frames_of(
            tower, tower_frames, kTowerLife,
            "its whole life: 9999 loops of its 10 frames of 100 ms, the first shown as it opens, 2.8 hours",
            "frames of the tower banner"))
        return refused;
    if (chosen("frames of the tower banner", only)) {
        constexpr int kAfter = 20;
        const int changes = tower.changes_in(kAfter);
        std::printf("after %ld frame messages, %d more changed the screen %d times: %s\n", tower_frames,
                    kAfter, changes,
                    tower_frames < kTowerLife ? "its life was not run whole"
                    : changes == 0            ? "it stands on its last frame, as its loop count says"
                                              : "it did NOT stop at its loop count");
    }

    // Slots 1 to 5 and 8 connected, 6 refused, 7 dropped before every tick; every tenth tick EchoLink
    // fails every call. Callsigns of its own: a refusal stays with the stand-in.
    const std::wstring prefix = L"PU6AA";
    here.supervise(prefix);
    standin->RefuseCallsign(UniqueBstr(SysAllocString(station(prefix, 6).c_str())).get());
    long ticks = 0;
    run({"supervision ticks", scaled(20'000), kDays * 86'400, "one a second",
         [&] {
             standin.drop_link(station(prefix, 7));
             const bool failing = ++ticks % 10 == 0;
             if (failing) standin->FailCalls(static_cast<long>(0x80004005));
             amigos.Timer1_Timer();
             if (failing) standin->FailCalls(S_OK);
             if (ticks % 500 == 0) standin->ClearCallLog();
         }},
        only);

    // The history told, each minute, what a tick reads of the eight stations: the seventh down, and up
    // again at the next tick; it writes two lines a minute, and historico.txt is handed over each 1 MiB.
    // It lives as long as the window that it follows.
    SoakClock clock;
    std::unique_ptr<ConnectionHistory> history;
    if (chosen("minutes of the history", only)) {
        const std::wstring folder = fresh_directory();
        history = std::make_unique<ConnectionHistory>(window.hwnd(), folder, clock, system_taskbar_list,
                                                      here.annotations, system_screen(), open_in_background);
        window.follow_with(*history);
        SupervisionObserver& observer = history->observer();
        std::vector<SlotStation> stations;
        for (int slot = 1; slot <= kSlots; ++slot) stations.push_back({slot, station(prefix, slot)});
        observer.started(stations);
        long minutes = 0;
        run({"minutes of the history, a station dropping every minute", scaled(43'200), kDays * 1440,
             "one a minute",
             [&] {
                 clock.time.utc_seconds += 60;
                 for (int slot = 1; slot <= kSlots; ++slot)
                     observer.read(slot, station(prefix, slot), slot != 7);
                 observer.tick_ended(16, 0);
                 clock.time.utc_seconds += 4;
                 observer.read(7, station(prefix, 7), true);
                 observer.tick_ended(16, 0);
                 // The writer is given its turn, as the minutes between would give it.
                 if (++minutes % 100 == 0) {
                     handle_waiting_messages();
                     Sleep(1);
                 }
             }},
            only);
        history->finish(30'000);
        handle_waiting_messages();
        std::printf("after %ld minutes: historico.txt %lld bytes, historico-anterior.txt %lld bytes; %ls\n",
                    minutes, size_of(folder + L"\\" + kHistoryFile),
                    size_of(folder + L"\\" + kPreviousHistoryFile), history->file_state().c_str());
    }

    // Only slot 8 ticked, and empty: each tick asks for its callsign and unticks it.
    for (int slot = 1; slot <= kSlots; ++slot) window.SetCheck(slot, 0);
    window.SetText(kSlots, L"");
    run({"openings of the tick's message", scaled(1'000), kDays * kOpeningsADay, "ten a day",
         [&] {
             window.SetCheck(kSlots, 1);
             amigos.Timer1_Timer();
         }},
        only);
    run({"openings of Help", scaled(1'000), kDays * kOpeningsADay, "ten a day",
         [&] {
             CloseWhenShown::arm(L"RelinkaForm", L"Ajuda", WM_CLOSE, 0);
             amigos.Command3_Click();
         }},
        only);
    // Each opening loads its icons afresh (three for Help, four for About) and destroys them after: what
    // Wine keeps of an icon so loaded and destroyed, to set the openings against.
    run({"icons loaded and destroyed", scaled(1'000), kDays * kOpeningsADay, "ten a day",
         [] {
             DestroyIcon(
                 static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_RETORNAR),
                                               IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
         }},
        only);
    run({"openings of About", scaled(1'000), kDays * kOpeningsADay, "ten a day",
         [&] {
             CloseWhenShown::arm(L"RelinkaForm", L"Sobre", WM_CLOSE, 0);
             amigos.sobre_Click();
         }},
        only);
    return 0;
}
