// relinka.exe beside the stand-in while a tick waits before asking EchoLink again for a station it
// refuses: Windows, other programs and EchoLink are answered meanwhile, what the operator or another
// program does comes after the tick, and the next tick comes at once. Also a busy EchoLink, and the
// start-up that EchoLink, frozen or slow, does not let finish in time.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/amigos_layout.h"
#include "app/exit_codes.h"
#include "core/fakes.h"
#include "support/standin_test.h"

namespace relinka::testing {
namespace {

constexpr wchar_t kUp[] = L"PY1AA";         // connected: asked twice, no wait
constexpr wchar_t kRefused[] = L"PU5FORA";  // never comes up: every tick waits for it
constexpr DWORD kProbe = 100;               // ms a message is given to be answered

long long steady_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::wstring is_connected(const wchar_t* callsign) {
    return L"IsConnected(\"" + std::wstring(callsign) + L"\")";
}

struct Call {
    long long at;  // ms, steady clock
    std::wstring call;
};

bool answers(HWND window, UINT message = WM_NULL, WPARAM wparam = 0, DWORD_PTR* result = nullptr) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, message, wparam, 0, SMTO_NORMAL, kProbe, result ? result : &ignored) !=
           0;
}

// Read off the screen without asking the program anything.
COLORREF screen_pixel(HWND control, int x, int y) {
    POINT point{x, y};
    ClientToScreen(control, &point);
    return GetPixel(WindowDc(nullptr).get(), point.x, point.y);
}

class WhileATickWaits : public StandInTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(standin.operator->()) << "the stand-in is not registered";
        leave_no_subscriber();
        standin.reset();
        standin->SetConnectDelay(0);
        connect(kUp);
        standin->RefuseCallsign(UniqueBstr(SysAllocString(kRefused)).get());
        standin->ClearCallLog();
        write_friends("PY1AA\r\nPU5FORA\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    }
    void TearDown() override {
        relinka.reset();
        leave_no_subscriber();
        standin.reset();
    }
    // A program ended by force leaves its subscription in the stand-in, which would call it first at
    // Closing, and its hold on the stand-in, which then never ends.
    void leave_no_subscriber() {
        long subscribers = 0;
        standin->SubscriberCount(&subscribers);
        if (subscribers) standin.start_afresh();
    }

    void connect(const wchar_t* callsign) {
        ComPtr<::IEchoLinkApp> echolink;
        ASSERT_HRESULT_SUCCEEDED(standin->QueryInterface(IID_PPV_ARGS(&echolink)));
        echolink->Connect(UniqueBstr(SysAllocString(callsign)).get(), VARIANT_TRUE);
    }
    void write_friends(const std::string& list) {
        const UniqueFile friends(CreateFileW((directory + L"\\amigos.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(friends.get(), list.data(), static_cast<DWORD>(list.size()), &written, nullptr);
    }

    // relinka.exe, started with the stations of amigos.txt ticked, showing its window.
    RelinkaProcess& start() {
        relinka = std::make_unique<RelinkaProcess>(directory);
        EXPECT_TRUE(window = relinka->main_window());
        return *relinka;
    }
    std::vector<Call> calls() {
        UniqueBstr text;
        standin->TimedCallLog(text.put());
        std::wistringstream lines(text ? text.get() : L"");
        std::vector<Call> calls;
        for (Call call; lines >> call.at >> call.call;) calls.push_back(call);
        return calls;
    }
    // Waits for a tick to start waiting before its Connect request for the refused station, and returns
    // the moment (steady clock) of the query before the wait; 0 if no wait began within a tick.
    long long wait_begun() {
        long long begun = 0;
        wait_until(
            [&] {
                const std::vector<Call> so_far = calls();
                const size_t n = so_far.size();
                // A wait that began long ago may end before the test has done its part.
                if (n >= 2 && so_far[n - 1].call == is_connected(kRefused) &&
                    so_far[n - 2].call == is_connected(kUp) && steady_ms() - so_far[n - 1].at < 500)
                    begun = so_far[n - 1].at;
                return begun != 0;
            },
            kTick);
        return begun;
    }

    std::unique_ptr<RelinkaProcess> relinka;
    HWND window = nullptr;
};

constexpr COLORREF kGreenPixel = RGB(0, 255, 0);
constexpr int kShapeMiddleX = 20, kShapeMiddleY = 16;

TEST_F(WhileATickWaits, EverythingIsAnsweredButTheOperatorsInputWhichComesAfterTheTickInItsOrder) {
    RelinkaProcess& program = start();
    program.type(kText9, L"PY2XY");
    const long long begun = wait_begun();
    ASSERT_TRUE(begun);

    // Typed and clicked during the wait, as the keyboard, the mouse and screen readers do it: posted.
    PostMessageW(program.control(kText9), WM_CHAR, L'Z', 0);
    program.click(kCommand2);  // "Desconectar amigo"
    // The same click sent by another program is answered at once, and its handler waits all the same.
    EXPECT_TRUE(answers(program.control(kCommand2), BM_CLICK));
    EXPECT_EQ(program.text(kText9), L"PY2XY") << "the typing ran in the middle of the tick";

    // Uncovered, the window paints itself again.
    RECT bounds;
    GetWindowRect(window, &bounds);
    const HWND cover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE | SS_BLACKRECT,
                                       bounds.left, bounds.top, bounds.right - bounds.left,
                                       bounds.bottom - bounds.top, nullptr, nullptr, nullptr, nullptr);
    pump_for(300);
    const COLORREF covered = screen_pixel(program.control(kShape1), kShapeMiddleX, kShapeMiddleY);
    DestroyWindow(cover);
    EXPECT_NE(covered, kGreenPixel);
    EXPECT_TRUE(wait_until(
        [&] { return screen_pixel(program.control(kShape1), kShapeMiddleX, kShapeMiddleY) == kGreenPixel; },
        500))
        << "not repainted";

    // Windows, screen readers and other programs are answered within 100 ms to the end of the wait.
    int probes = 0, answered = 0;
    for (; steady_ms() < begun + 2800; ++probes) {
        answered += answers(window);
        Sleep(kProbe);
    }
    EXPECT_GE(probes, 5) << "the machine is too busy: the checks above took most of the wait";
    EXPECT_EQ(answered, probes);

    // After the tick: the character, then both clicks, before the next tick.
    const std::wstring disconnect = L"Disconnect(\"PY2XYZ\")";
    const auto disconnects = [&] {
        const std::wstring log = standin.log();
        size_t count = 0;
        for (size_t at = log.find(disconnect); at != std::wstring::npos; at = log.find(disconnect, at + 1))
            ++count;
        return count;
    };
    ASSERT_TRUE(wait_until([&] { return disconnects() == 2; }, kTick));
    const std::vector<Call> log = calls();
    size_t first = 0;
    while (first < log.size() && log[first].at != begun) ++first;
    ASSERT_GE(first, 2u);
    ASSERT_GE(log.size(), first + 5);
    std::vector<std::wstring> order;
    for (size_t i = first - 2; i < first + 5; ++i) order.push_back(log[i].call);
    EXPECT_EQ(order, (std::vector<std::wstring>{is_connected(kUp), is_connected(kUp), is_connected(kRefused),
                                                L"Connect(\"PU5FORA\",-1)", is_connected(kRefused),
                                                disconnect, disconnect}));
    EXPECT_NEAR(log[first + 1].at - log[first].at, 3000, 50) << "the wait before Connect";
}

// A tick that fell due while one waited runs as soon as that one ends, not at the timer's next beat.
TEST_F(WhileATickWaits, TheNextTickStartsAsSoonAsATickThatWaitedEnds) {
    start();
    std::vector<Call> log;
    size_t end = 0;  // the last call of a tick that waited: Connect, then the query after it
    ASSERT_TRUE(wait_until(
        [&] {
            log = calls();
            for (end = 1; end + 1 < log.size(); ++end)
                if (log[end - 1].call == L"Connect(\"PU5FORA\",-1)" && log[end + 1].call == is_connected(kUp))
                    return true;
            return false;
        },
        2 * kTick));
    EXPECT_EQ(log[end].call, is_connected(kRefused));
    std::printf("the next tick came %lld ms after a tick that waited\n", log[end + 1].at - log[end].at);
    EXPECT_LT(log[end + 1].at - log[end].at, 100) << "the next tick came late";
}

// Another program (a screen reader, an automation tool) presses "Desconecta todos" by sending BM_CLICK from
// inside EchoLink's answer to a query: it is answered at once, and the click runs after the tick.
TEST_F(WhileATickWaits, AClickSentFromInsideAnEchoLinkCallRunsAfterTheTick) {
    RelinkaProcess& program = start();
    standin->ClickDuringNextCall(static_cast<long>(reinterpret_cast<LONG_PTR>(program.control(kCommand6))));
    std::vector<Call> log;
    ASSERT_TRUE(wait_until(
        [&] {
            log = calls();
            return !log.empty() && log.back().call == L"DisconnectAll()";
        },
        kTick));
    pump_for(2000);  // no tick after it
    log = calls();
    std::vector<std::wstring> order;
    for (const Call& call : log) order.push_back(call.call);
    EXPECT_EQ(order, (std::vector<std::wstring>{is_connected(kUp), is_connected(kUp), is_connected(kRefused),
                                                L"Connect(\"PU5FORA\",-1)", is_connected(kRefused),
                                                L"DisconnectAll()"}));
    ASSERT_GE(log.size(), 2u);
    EXPECT_LT(log[1].at - log[0].at, 1000) << "the click was run inside the call, or its sender held";
    EXPECT_EQ(program.text(kLabel1), L" ");
}

// EchoLink busy with a dialog of its own: a short spell is waited out, a long one leaves every label as it
// was (and so nothing for a screen reader to announce), and neither asks EchoLink to connect anything.
TEST_F(WhileATickWaits, ABusyEchoLinkIsWaitedForAndNeverReadAsDroppedLinks) {
    write_friends("PY1AA\r\nPY2BB\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    connect(L"PY2BB");
    RelinkaProcess& program = start();
    const auto both_connected = [&] {
        return program.text(kLabel1) == L"conectado" && program.text(kLabel1 + 1) == L"conectado";
    };
    ASSERT_TRUE(wait_until(both_connected, kTick));
    for (const long busy : {1500L, 10'000L}) {
        standin->ClearCallLog();
        standin->BeBusy(busy);
        const long long until = steady_ms() + busy + 1000;
        bool held = true;
        while (held && steady_ms() < until) {
            held = both_connected();
            Sleep(50);
        }
        EXPECT_TRUE(held) << "a label changed while EchoLink was busy for " << busy << " ms";
        EXPECT_TRUE(
            wait_until([&] { return standin.log().find(is_connected(kUp)) != std::wstring::npos; }, kTick))
            << "no tick after the busy spell";
        EXPECT_EQ(standin.log().find(L"Connect("), std::wstring::npos) << utf8(standin.log());
    }
}

TEST_F(WhileATickWaits, ClosingIsTakenAtOnceAndEndsTheProgramWithoutAnotherCall) {
    RelinkaProcess& program = start();
    ASSERT_TRUE(wait_begun());
    Sleep(1000);
    const std::wstring log = standin.log();
    const long long raised = steady_ms();
    standin->RaiseClosing();
    EXPECT_LT(steady_ms() - raised, 500) << "EchoLink's call was held";
    ASSERT_TRUE(program.ended_within(5000));
    EXPECT_EQ(program.exit_code(), kEndedAsAsked);
    EXPECT_EQ(standin.log(), log);
}

// Windows shutting down, or restarting after an update.
void session_ends(RelinkaProcess& program, HWND window, StandIn& standin) {
    const std::wstring log = standin.log();
    DWORD_PTR may_end = FALSE;
    EXPECT_TRUE(answers(window, WM_QUERYENDSESSION, 0, &may_end));
    EXPECT_EQ(may_end, static_cast<DWORD_PTR>(TRUE));
    const long long asked = steady_ms();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 1000, &ignored);
    const long long left = 1000 - (steady_ms() - asked);
    EXPECT_TRUE(program.ended_within(static_cast<DWORD>(left > 0 ? left : 0)));
    ASSERT_TRUE(program.ended_within(5000));
    EXPECT_EQ(program.exit_code(), kEndedAsAsked);
    EXPECT_EQ(standin.log(), log) << "an EchoLink call on the way out";
}

TEST_F(WhileATickWaits, WindowsEndingTheSessionIsAnsweredAtOnceAndEndsTheProgramWithinASecond) {
    RelinkaProcess& program = start();
    ASSERT_TRUE(wait_begun());
    session_ends(program, window, standin);
}

TEST_F(WhileATickWaits, WindowsEndingTheSessionWithTheSupervisionOffEndsTheProgramAsWell) {
    RelinkaProcess& program = start();
    program.click(kCommand4);  // "Desliga", after the tick if one runs
    pump_for(kTick / 3);
    session_ends(program, window, standin);
}

TEST_F(WhileATickWaits, EchoLinkFrozenAtStartUpIsReportedAfterThirtySecondsAndTheProgramEnds) {
    constexpr long kFrozen = 34'000;  // ms; the program gives it 30 s
    standin->HoldNextAdvise(kFrozen);
    const long long started = steady_ms();
    RelinkaProcess program(directory);
    const HWND box = program.message_box(kFrozen);
    const long long reported = steady_ms() - started;
    ASSERT_TRUE(box);
    EXPECT_GE(reported, 29'000);
    EXPECT_FALSE(program.main_window(0));
    const std::wstring text = message_box_text(box);
    EXPECT_NE(text.find(L"parece estar travado"), std::wstring::npos) << utf8(text);
    EXPECT_EQ(text_of(box), L"Relinka");
    EXPECT_FALSE(program.ended_within(1000)) << "the operator has not read it yet";
    answer(box, IDOK);
    ASSERT_TRUE(program.ended_within(5000));
    EXPECT_EQ(program.exit_code(), kEchoLinkFrozen);
    // The subscription failed, but the object the program made is held for it for good.
    standin.start_afresh();
}

// A cold boot, a slow network: EchoLink answers after the box has appeared. The box goes by itself, the
// program goes on, and EchoLink's first call into it is answered as soon as the window is up.
TEST_F(WhileATickWaits, EchoLinkAnsweringAfterTheThirtySecondsTakesTheBoxAwayAndTheProgramGoesOn) {
    constexpr long kSlow = 34'000;  // ms; the program gives it 30 s
    standin->HoldNextAdvise(kSlow);
    RelinkaProcess program(directory);
    const HWND box = program.message_box(kSlow);
    ASSERT_TRUE(box);
    // The operator, if the box stays: EchoLink's call, were it held until then, would return then.
    const UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread operator_at_the_station([box, done = done.get()] {
        if (WaitForSingleObject(done, 15'000) == WAIT_TIMEOUT && IsWindow(box)) answer(box, IDOK);
    });
    // Answered once EchoLink is free again, or while it waits on the program inside the subscription.
    const auto subscribed = [&] {
        long subscribers = 0;
        return SUCCEEDED(standin->SubscriberCount(&subscribers)) && subscribers == 1;
    };
    EXPECT_TRUE(wait_until(subscribed, kSlow));
    const long long raised = steady_ms();
    standin->RaiseEvent(2);  // one of EchoLink's events other than Closing, as it raises them at work
    const long long first_event = steady_ms() - raised;
    std::printf("EchoLink's first event after the box: answered in %lld ms\n", first_event);
    EXPECT_LT(first_event, 2000) << "EchoLink's call was held";
    EXPECT_TRUE(program.main_window(5000));
    EXPECT_TRUE(wait_until([&] { return program.message_boxes_open() == 0; }, 1000)) << "the box stayed";
    EXPECT_TRUE(
        wait_until([&] { return standin.log().find(is_connected(kUp)) != std::wstring::npos; }, kTick))
        << "no tick";
    const long long again = steady_ms();
    standin->RaiseEvent(2);
    EXPECT_LT(steady_ms() - again, 100) << "EchoLink's call was held once the window was up";
    SetEvent(done.get());
    operator_at_the_station.join();
    EXPECT_FALSE(program.ended_within(0));
}

}  // namespace
}  // namespace relinka::testing
