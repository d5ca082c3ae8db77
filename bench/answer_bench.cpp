// Whether relinka.exe answers while a tick waits for a station EchoLink refuses: eight ticked stations
// beside the stand-in, of which it refuses one, then all eight. For a minute each way a WM_NULL is sent to
// the main window from this process every 100 ms with SendMessageTimeoutW(..., SMTO_NORMAL, 100, ...):
// the share answered within the 100 ms and the longest time with no answer. Then EchoLink raises Closing
// 1.5 s into a tick's wait: how long its call is held before it returns. Prints the figures beside the
// goals (every probe answered, no silence over 300 ms, Closing held under 300 ms); nothing passes or
// fails on them. A run that cannot be counted (no window, the stations not as asked, relinka.exe gone
// before Closing) stops it with the reason.
// Usage: answer_bench [seconds probed each way]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>

#include "app/amigos_layout.h"
#include "support/bench_support.h"
#include "support/relinka_process.h"
#include "support/wine_support.h"

using namespace relinka;
using namespace relinka::testing;

namespace {

constexpr DWORD kProbeEvery = 100, kAnswerWithin = 100;  // ms
constexpr DWORD kClosingInto = 1500;                     // ms into a tick's 3000 ms wait

double now_ms() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return 1000.0 * double(value.QuadPart) / double(frequency);
}

struct Way {
    const char* name;
    const wchar_t* callsigns;  // the eight share it, with a last letter A to H
    int refused;               // the last `refused` of them
};

bool refused(const Way& way, int slot) { return slot > kSlots - way.refused; }

// Whether a tick has just begun to wait, by the stand-in's call log: its last call asked for a refused
// station, and was not the question that follows that station's Connect.
bool tick_waits(const Way& way, const StandIn& standin) {
    std::wistringstream log(standin.log());
    std::wstring call, call_before;
    for (std::wstring line; std::getline(log, line);) call_before = std::exchange(call, line);
    for (int slot = 1; slot <= kSlots; ++slot)
        if (refused(way, slot) && call == L"IsConnected(\"" + station(way.callsigns, slot) + L"\")")
            return !call_before.starts_with(L"Connect(\"" + station(way.callsigns, slot) + L"\"");
    return false;
}

struct Answers {
    long sent = 0, answered = 0;
    double longest_silence_ms = 0;
};

Answers probe(HWND window, DWORD seconds) {
    Answers answers;
    const double start = now_ms(), end = start + seconds * 1000.0;
    double last_answer = start;
    for (double next = start; next < end; next += kProbeEvery) {
        const double wait = next - now_ms();
        if (wait > 0) Sleep(static_cast<DWORD>(wait));
        DWORD_PTR result = 0;
        const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerWithin, &result);
        const double now = now_ms();
        ++answers.sent;
        if (!answered) continue;
        ++answers.answered;
        answers.longest_silence_ms = std::max(answers.longest_silence_ms, now - last_answer);
        last_answer = now;
    }
    answers.longest_silence_ms = std::max(answers.longest_silence_ms, now_ms() - last_answer);
    return answers;
}

int refuse(const Way& way, const std::string& reason) {
    return relinka::testing::refuse(std::string(way.name) + ": " + reason);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const DWORD seconds = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 60;
    ComApartment apartment;
    StandIn standin;
    standin.reset();
    standin->SetConnectDelay(0);
    std::printf(
        "answering while a tick waits: WM_NULL every %lu ms for %lu s, given %lu ms each; then Closing "
        "raised %.1f s into a wait\n",
        kProbeEvery, seconds, kAnswerWithin, kClosingInto / 1000.0);
    std::printf("(goals: every probe answered, no silence over 300 ms, Closing held under 300 ms)\n");
    // Callsigns of each way's own: a refusal stays with the stand-in.
    for (const Way& way : {Way{"eight stations, one refused", L"PU4AA", 1},
                           Way{"eight stations, all refused", L"PU5AA", kSlots}}) {
        const std::wstring directory = fresh_directory();
        if (!write_stations(directory, way.callsigns))
            return refuse(way, "the friends file could not be written");
        for (int slot = 1; slot <= kSlots; ++slot)
            if (refused(way, slot))
                standin->RefuseCallsign(
                    UniqueBstr(SysAllocString(station(way.callsigns, slot).c_str())).get());
        standin->ClearCallLog();
        RelinkaProcess relinka(directory);
        const HWND window = relinka.main_window();
        if (!window) return refuse(way, "relinka.exe showed no main window");
        if (!wait_until([&] { return tick_waits(way, standin); }, 30'000))
            return refuse(way, "no tick began to wait within 30 s");

        const Answers answers = probe(window, seconds);
        if (relinka.ended_within(0)) return refuse(way, "relinka.exe ended while it was probed");

        // Closing, raised while a tick waits.
        long subscribers = 0;
        standin->SubscriberCount(&subscribers);
        if (subscribers != 1)
            return refuse(way,
                          "EchoLink has " + std::to_string(subscribers) + " subscribers, not relinka.exe");
        standin->ClearCallLog();
        if (!wait_until([&] { return tick_waits(way, standin); }, 30'000))
            return refuse(way, "no tick began to wait within 30 s");
        Sleep(kClosingInto);
        const double raised = now_ms();
        standin->RaiseClosing();
        const double held_ms = now_ms() - raised;
        const bool ended = relinka.ended_within(10'000);

        std::printf(
            "%s: answered %ld of %ld probes within %lu ms (%.0f %%), longest silence %.0f ms; Closing "
            "held %.0f ms%s\n",
            way.name, answers.answered, answers.sent, kAnswerWithin,
            100.0 * double(answers.answered) / double(answers.sent), answers.longest_silence_ms, held_ms,
            ended ? "" : " (and relinka.exe had not ended 10 s later)");
    }
    return 0;
}
