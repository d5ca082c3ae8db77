// relinka.exe beside the EchoLink stand-in, each in its own process, used as an operator uses them.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "app/amigos_layout.h"
#include "app/exit_codes.h"
#include "core/fakes.h"
#include "support/standin_test.h"
#include "windows/ajuda_win.h"

namespace relinka::testing {
namespace {

constexpr COLORREF kGreenPixel = RGB(0, 255, 0), kRedPixel = RGB(255, 0, 0);
constexpr int kShapeMiddleX = 20, kShapeMiddleY = 16;  // of its 41 x 33 pixels
// A window of this test's own, brought to the front: Relinka then has no active window, as when the
// operator works in another program.
class OtherProgramsWindow {
public:
    OtherProgramsWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"outro programa", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {
        SetForegroundWindow(window_);
        pump_for(300);
    }
    ~OtherProgramsWindow() { DestroyWindow(window_); }
    OtherProgramsWindow(const OtherProgramsWindow&) = delete;
    OtherProgramsWindow& operator=(const OtherProgramsWindow&) = delete;

private:
    HWND window_;
};

// EchoLink hung for a while: its one thread is held by a call that takes that long to answer, so that
// nothing else it is asked meanwhile is answered either.
class EchoLinkHung {
public:
    EchoLinkHung(StandIn& standin, DWORD milliseconds) : standin_(standin) {
        standin_->SetAnswerDelay(static_cast<long>(milliseconds));
        caller_ = std::thread([] {
            ComApartment apartment;
            ComPtr<::IEchoLinkApp> echolink;
            if (FAILED(CoCreateInstance(CLSID_EchoLinkApp, nullptr, CLSCTX_LOCAL_SERVER,
                                        IID_PPV_ARGS(&echolink))))
                return;
            VARIANT_BOOL connected = VARIANT_FALSE;
            echolink->IsConnected(UniqueBstr(SysAllocString(L"PU2HNG")).get(), &connected);
        });
        Sleep(1000);  // the call has reached EchoLink
    }
    ~EchoLinkHung() {
        caller_.join();
        standin_->SetAnswerDelay(0);
    }
    EchoLinkHung(const EchoLinkHung&) = delete;
    EchoLinkHung& operator=(const EchoLinkHung&) = delete;

private:
    StandIn& standin_;
    std::thread caller_;
};

class EndToEnd : public StandInTest {
protected:
    // relinka.exe, started and showing its window.
    RelinkaProcess& start() {
        relinka = std::make_unique<RelinkaProcess>(directory);
        EXPECT_TRUE(relinka->main_window());
        return *relinka;
    }
    // The indicator as the screen shows it, once painted.
    bool indicator_shows(COLORREF colour) {
        return wait_until([&] { return relinka->pixel(kShape1, kShapeMiddleX, kShapeMiddleY) == colour; },
                          5000);
    }
    // PU2ABC typed, ticked and connected, then the Help window opened over the main window; null if any
    // of it failed.
    HWND help_over_a_connected_station() {
        standin->SetConnectDelay(0);
        relinka->type(kText1, L"PU2ABC");
        relinka->click(kCheck1);
        if (!wait_until([&] { return relinka->text(kLabel1) == L"conectado"; }, kTick)) return nullptr;
        relinka->click(kCommand3);
        return relinka->form_titled(L"Ajuda");
    }
    std::unique_ptr<RelinkaProcess> relinka;
};

// --- start-up and the ways it ends

TEST_F(EndToEnd, StartsRunningWithTheIndicatorGreenAndEndsWhenEchoLinkCloses) {
    RelinkaProcess& program = start();
    EXPECT_TRUE(indicator_shows(kGreenPixel));
    long subscribers = 0;
    standin->SubscriberCount(&subscribers);
    EXPECT_EQ(subscribers, 1);
    standin->RaiseClosing();
    ASSERT_TRUE(program.ended_within(10000));
    EXPECT_EQ(program.exit_code(), 0u);
    EXPECT_EQ(standin.log(), L"") << "EchoLink is told nothing";
    standin->SubscriberCount(&subscribers);
    EXPECT_EQ(subscribers, 0);
}

TEST_F(EndToEnd, ExitQuestionAnsweredNoThenYes) {
    RelinkaProcess& program = start();
    program.click(kCommand1);
    HWND box = program.message_box();
    ASSERT_TRUE(box);
    EXPECT_EQ(message_box_text(box), L"Tem certeza que quer sair?");
    EXPECT_EQ(text_of(box), L"relinka");
    EXPECT_TRUE(has_button(box, IDYES));
    EXPECT_TRUE(has_button(box, IDNO));
    EXPECT_FALSE(has_button(box, IDOK));
    EXPECT_TRUE(is_default_button(box, IDNO));
    EXPECT_TRUE(has_icon(box));
    answer(box, IDNO);
    EXPECT_FALSE(program.ended_within(1500));
    EXPECT_EQ(program.message_boxes_open(), 0);

    program.press_key(VK_RETURN);  // the focus is still on "Encerrar"
    box = program.message_box();
    ASSERT_TRUE(box);
    answer(box, IDYES);
    ASSERT_TRUE(program.ended_within(10000));
    EXPECT_EQ(program.exit_code(), 0u);
}

TEST_F(EndToEnd, EnterAtOnceAsksTheExitQuestion) {
    RelinkaProcess& program = start();
    program.press_key(VK_RETURN);
    const HWND box = program.message_box();
    ASSERT_TRUE(box);
    EXPECT_EQ(message_box_text(box), L"Tem certeza que quer sair?");
    answer(box, IDYES);
    EXPECT_TRUE(program.ended_within(10000));
}

TEST_F(EndToEnd, CloseBoxEndsWithoutAQuestion) {
    RelinkaProcess& program = start();
    PostMessageW(program.main_window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.ended_within(10000));
    EXPECT_EQ(program.exit_code(), 0u);
}

TEST_F(EndToEnd, ClosingWhileAModalWindowIsOpenEndsCleanly) {
    // The exit question, and the About window with its own message loop.
    const std::function<HWND(RelinkaProcess&)> openings[] = {
        [](RelinkaProcess& program) {
            program.click(kCommand1);
            return program.message_box();
        },
        [](RelinkaProcess& program) {
            program.click(kSobre);
            return program.form_titled(L"Sobre");
        },
    };
    for (const auto& open : openings) {
        RelinkaProcess& program = start();
        ASSERT_TRUE(open(program));
        standin->RaiseClosing();
        ASSERT_TRUE(program.ended_within(10000));
        EXPECT_EQ(program.exit_code(), 0u);
    }
}

TEST_F(EndToEnd, ClosingWhileTheLinkIsMadeAtStartUpEndsTheProgramThere) {
    write_bytes(directory + L"\\amigos.txt", "PU2ABC\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    standin->RaiseClosingDuringNextAdvise();
    RelinkaProcess program(directory);
    ASSERT_TRUE(program.ended_within(10000));
    EXPECT_EQ(program.exit_code(), 0u);
    EXPECT_EQ(standin.log(), L"") << "supervision started after Closing";
    long subscribers = -1;
    standin->SubscriberCount(&subscribers);
    EXPECT_EQ(subscribers, 0);
}

// Both ways an operator ends it, while EchoLink answers nothing: the window goes at once and the process
// within seconds, leaving the friends file as it was.
TEST_F(EndToEnd, EndingWhileEchoLinkHangsTakesSecondsAndWritesNothing) {
    const std::wstring friends = directory + L"\\amigos.txt";
    const std::string eight_empty_lines = "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    write_bytes(friends, eight_empty_lines);
    WIN32_FILE_ATTRIBUTE_DATA before{}, after{};
    GetFileAttributesExW(friends.c_str(), GetFileExInfoStandard, &before);
    RelinkaProcess by_close_box(directory), by_encerrar(directory);
    const HWND first = by_close_box.main_window(), second = by_encerrar.main_window();
    ASSERT_TRUE(first && second);
    {
        const EchoLinkHung hung(standin, 10'000);
        PostMessageW(first, WM_CLOSE, 0, 0);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(first); }, 1500)) << "the window stayed";
        EXPECT_TRUE(by_close_box.ended_within(5000)) << "the close box";
        by_encerrar.click(kCommand1);
        const HWND box = by_encerrar.message_box();
        ASSERT_TRUE(box);
        answer(box, IDYES);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(second); }, 1500)) << "the window stayed";
        EXPECT_TRUE(by_encerrar.ended_within(5000)) << "Encerrar answered Yes";
    }
    // Ended by the watchdog, which says so, since EchoLink never let them go.
    EXPECT_EQ(by_close_box.exit_code(), kEndOverdue);
    EXPECT_EQ(by_encerrar.exit_code(), kEndOverdue);
    EXPECT_EQ(file_bytes(friends), eight_empty_lines);
    GetFileAttributesExW(friends.c_str(), GetFileExInfoStandard, &after);
    EXPECT_EQ(CompareFileTime(&after.ftLastWriteTime, &before.ftLastWriteTime), 0);
}

TEST_F(EndToEnd, ClosingDuringACallEndsTheTickThere) {
    RelinkaProcess& program = start();
    program.type(kText1, L"PU2ABC");
    program.type(kText1 + 1, L"PY1AA");
    standin->RaiseClosingDuringNextCall();
    // Both ticked before the next tick, which then meets Closing at its first call.
    program.click(kCheck1 + 1);
    program.click(kCheck1);
    ASSERT_TRUE(program.ended_within(10000));
    EXPECT_EQ(program.exit_code(), 0u);
    EXPECT_EQ(standin.log(), L"IsConnected(\"PU2ABC\")\n") << "no call after Closing";
}

// --- the supervision cycle and the manual commands

constexpr int kLabel2 = kLabel1 + 1;

TEST_F(EndToEnd, TickedCallsignIsUpperCasedAndConnectedByTheCycle) {
    RelinkaProcess& program = start();
    program.type(kText1, L"pu2abc");
    program.click(kCheck1);
    // Down at the first tick: the wait, the request, and EchoLink still connecting when asked again.
    ASSERT_TRUE(wait_until([&] { return program.text(kLabel1) == L"desconectado"; }, kTick));
    EXPECT_EQ(program.text(kText1), L"PU2ABC");
    ASSERT_TRUE(wait_until([&] { return program.text(kLabel1) == L"conectado"; }, kTick));
    const std::wstring log = standin.log();
    EXPECT_EQ(log.substr(0, log.find(L'\n', log.find(L"Connect(") + 1) + 1),
              L"IsConnected(\"PU2ABC\")\nConnect(\"PU2ABC\",-1)\n");
    EXPECT_FALSE(contains(log, L"pu2abc"));
    EXPECT_EQ(program.text(kLabel2), L" ");
}

class Supervising : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        standin->SetConnectDelay(0);
        RelinkaProcess& program = start();
        program.type(kText1, L"pu2abc");
        program.click(kCheck1);
        ASSERT_TRUE(wait_until([&] { return program.text(kLabel1) == L"conectado"; }, kTick));
        standin->ClearCallLog();
    }
};

TEST_F(Supervising, LinkDroppedByTheNetworkIsMadeAgain) {
    standin.drop_link(L"PU2ABC");
    EXPECT_TRUE(log_shows(L"Connect(\"PU2ABC\",-1)", kTick));
    EXPECT_TRUE(wait_until([&] { return standin.connections() == L"PU2ABC\n"; }, 5000));
    EXPECT_TRUE(wait_until([&] { return relinka->text(kLabel1) == L"conectado"; }, 5000));
}

TEST_F(Supervising, DesligaStopsTheCallsAndLigaResumesThem) {
    RelinkaProcess& program = *relinka;
    program.click(kCommand4);
    EXPECT_TRUE(indicator_shows(kRedPixel));
    standin->ClearCallLog();
    pump_for(3500);
    EXPECT_EQ(standin.log(), L"") << "stopped: no tick";
    EXPECT_EQ(program.text(kLabel1), L"conectado") << "the labels keep their last captions";
    program.click(kCommand5);
    EXPECT_TRUE(indicator_shows(kGreenPixel));
    EXPECT_TRUE(log_shows(L"IsConnected(\"PU2ABC\")", 3000));
}

TEST_F(Supervising, DesconectarAmigoDropsOneStationWhichTheCycleRestores) {
    RelinkaProcess& program = *relinka;
    program.click(kCommand2);  // nothing typed yet
    const HWND box = program.message_box();
    ASSERT_TRUE(box);
    EXPECT_EQ(message_box_text(box), L"Entre com o indicativo primeiro");
    EXPECT_EQ(text_of(box), L"Relinka");
    EXPECT_TRUE(has_button(box, IDOK));
    EXPECT_FALSE(has_button(box, IDCANCEL));
    EXPECT_FALSE(has_icon(box));
    answer(box, IDOK);
    EXPECT_FALSE(contains(standin.log(), L"Disconnect"));

    program.type(kText9, L"pu2abc");
    program.click(kCommand2);
    EXPECT_TRUE(log_shows(L"Disconnect(\"PU2ABC\")", 5000));
    EXPECT_EQ(program.text(kText9), L"PU2ABC");
    EXPECT_TRUE(log_shows(L"Connect(\"PU2ABC\",-1)", kTick)) << "still ticked: connected again";
}

TEST_F(Supervising, DesconectaTodosBlanksTheLabelsStopsAndDropsEverything) {
    RelinkaProcess& program = *relinka;
    program.click(kCommand6);
    EXPECT_TRUE(log_shows(L"DisconnectAll()", 5000));
    EXPECT_EQ(standin.connections(), L"");
    for (int slot = 0; slot < kSlots; ++slot) EXPECT_EQ(program.text(kLabel1 + slot), L" ");
    EXPECT_TRUE(indicator_shows(kRedPixel));
    EXPECT_EQ(program.text(kText1), L"PU2ABC");
    EXPECT_EQ(program.check(kCheck1), 1);
    standin->ClearCallLog();
    pump_for(2500);
    EXPECT_EQ(standin.log(), L"");
}

TEST_F(EndToEnd, DesconectaTodosRefusedByEchoLinkIsShownAndTheProgramGoesOnStopped) {
    RelinkaProcess& program = start();
    standin->FailCalls(static_cast<long>(0x80004005));
    program.click(kCommand6);
    const HWND box = program.message_box();
    ASSERT_TRUE(box);
    EXPECT_TRUE(contains(message_box_text(box), L"0x80004005")) << utf8(message_box_text(box));
    answer(box, IDOK);
    EXPECT_FALSE(program.ended_within(1500));
    EXPECT_TRUE(indicator_shows(kRedPixel));
}

TEST_F(EndToEnd, TickedEmptySlotAsksOnceAndIsUnticked) {
    RelinkaProcess& program = start();
    program.click(kCheck1 + 1);
    const HWND box = program.message_box();
    ASSERT_TRUE(box);
    EXPECT_EQ(message_box_text(box), L"Entre com a estação desejada primeiro...");
    EXPECT_EQ(text_of(box), L"Relinka");
    EXPECT_TRUE(has_button(box, IDOK));
    EXPECT_FALSE(has_icon(box));
    pump_for(2500);  // ticks come and are dropped while the message is open
    EXPECT_EQ(program.message_boxes_open(), 1);
    answer(box, IDOK);
    EXPECT_TRUE(wait_until([&] { return program.check(kCheck1 + 1) == 0; }, 5000));
    EXPECT_EQ(program.text(kLabel2), L" ");
    pump_for(1500);
    EXPECT_EQ(program.message_boxes_open(), 0);
    EXPECT_EQ(standin.log(), L"");
}

// --- the Help window: modal, and the cycle goes on behind it

TEST_F(EndToEnd, HelpWindowBlocksTheMainWindowWhileTheCycleKeepsCallingEchoLink) {
    RelinkaProcess& program = start();
    const HWND help = help_over_a_connected_station();
    ASSERT_TRUE(help);
    EXPECT_FALSE(IsWindowEnabled(program.main_window()));
    standin->ClearCallLog();
    pump_for(2500);
    EXPECT_TRUE(contains(standin.log(), L"IsConnected(\"PU2ABC\")\n"))
        << "ticks go on behind the Help window";
    PostMessageW(GetDlgItem(help, kAjudaCommand1), BM_CLICK, 0, 0);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(help); }, 5000));
    EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(program.main_window()); }, 5000));
}

// The cycle's message while the Help window is open, the operator busy in another program: no window of
// Relinka takes input until it is answered, so nothing runs in the middle of the tick.
TEST_F(EndToEnd, TheCyclesMessageOverTheHelpWindowBlocksEveryWindowOfTheProgram) {
    RelinkaProcess& program = start();
    const HWND help = help_over_a_connected_station();
    ASSERT_TRUE(help);
    const OtherProgramsWindow elsewhere;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(program.control(kText1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""), SMTO_NORMAL,
                        5000, &ignored);
    const HWND box = program.message_box();
    ASSERT_TRUE(box);
    EXPECT_EQ(message_box_text(box), L"Entre com a estação desejada primeiro...");
    EXPECT_EQ(GetWindow(box, GW_OWNER), help);
    EXPECT_FALSE(IsWindowEnabled(help)) << "its Retornar could be pressed under the message";
    EXPECT_FALSE(IsWindowEnabled(program.main_window()));
    answer(box, IDOK);
    EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(help); }, 5000));
    EXPECT_FALSE(IsWindowEnabled(program.main_window())) << "still behind the Help window";
    PostMessageW(GetDlgItem(help, kAjudaCommand1), BM_CLICK, 0, 0);
    EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(program.main_window()); }, 5000));
}

// --- the friends file

TEST_F(EndToEnd, SavedListComesBackTickedAndSupervisedAfterARestart) {
    {
        RelinkaProcess& program = start();
        program.type(kText1, L"PU2ABC");
        program.type(kText1 + 2, L"py1aa");
        program.click(kGravar);
        EXPECT_EQ(program.message_boxes_open(), 0);
        PostMessageW(program.main_window(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.ended_within(10000));
    }
    const std::optional<std::string> saved = file_bytes(directory + L"\\amigos.txt");
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, "PU2ABC\r\n\r\npy1aa\r\n\r\n\r\n\r\n\r\n\r\n");

    standin->ClearCallLog();
    RelinkaProcess& program = start();
    EXPECT_EQ(program.text(kText1), L"PU2ABC");
    EXPECT_EQ(program.check(kCheck1), 1);
    EXPECT_EQ(program.check(kCheck1 + 1), 0);
    EXPECT_EQ(program.check(kCheck1 + 2), 1);
    EXPECT_TRUE(log_shows(L"IsConnected(\"PU2ABC\")", 3000)) << "supervised from the first tick";
    EXPECT_TRUE(log_shows(L"IsConnected(\"PY1AA\")", kTick));
}

TEST(EndToEndWithoutEchoLink, SaysTheObjectCannotBeCreatedAndEndsBeforeItsWindow) {
    ComApartment apartment;
    ASSERT_EQ(run_standin(L"/unregserver"), 0u);
    // A stand-in still running would keep answering for the class.
    ASSERT_TRUE(close_standin());
    RelinkaProcess program(fresh_directory());
    const HWND box = program.message_box();
    const bool main_window_shown = program.main_window(0) != nullptr;
    const std::wstring text = box ? message_box_text(box) : L"";
    if (box) answer(box, IDOK);
    const bool ended = program.ended_within(10000);
    run_standin(L"/regserver");
    ASSERT_TRUE(box);
    EXPECT_TRUE(contains(text, L"objeto de automação do EchoLink")) << utf8(text);
    EXPECT_TRUE(contains(text, L"0x80040154")) << utf8(text);
    EXPECT_FALSE(main_window_shown);
    ASSERT_TRUE(ended);
    EXPECT_NE(program.exit_code(), 0u);
}

}  // namespace
}  // namespace relinka::testing
