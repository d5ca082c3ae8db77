// relinka.exe beside the EchoLink stand-in, each in its own process, used as an operator uses them.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "../core/fakes.h"
#include "app/amigos_layout.h"
#include "relinka_process.h"
#include "wine_support.h"

namespace relinka::testing {
namespace {

constexpr COLORREF kGreenPixel = RGB(0, 255, 0), kRedPixel = RGB(255, 0, 0);
constexpr int kShapeMiddleX = 20, kShapeMiddleY = 16;  // of its 41 x 33 pixels

bool contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(standin.operator->()) << "the stand-in is not registered";
        standin.reset();
    }
    void TearDown() override {
        if (standin.operator->()) standin.reset();
    }

    // relinka.exe, started and showing its window.
    RelinkaProcess& start() {
        relinka = std::make_unique<RelinkaProcess>(directory);
        EXPECT_TRUE(relinka->main_window());
        return *relinka;
    }
    bool log_shows(const std::wstring& line, DWORD milliseconds) {
        return wait_until([&] { return contains(standin.log(), line + L"\n"); }, milliseconds);
    }

    ComApartment apartment;
    StandIn standin;
    std::wstring directory = fresh_directory();
    std::unique_ptr<RelinkaProcess> relinka;
};

// --- start-up and the ways it ends

TEST_F(EndToEnd, StartsRunningWithTheIndicatorGreenAndEndsWhenEchoLinkCloses) {
    RelinkaProcess& program = start();
    EXPECT_EQ(program.pixel(kShape1, kShapeMiddleX, kShapeMiddleY), kGreenPixel);
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

TEST_F(EndToEnd, ClosingWhileTheExitQuestionIsOpenEndsCleanly) {
    RelinkaProcess& program = start();
    program.click(kCommand1);
    ASSERT_TRUE(program.message_box());
    standin->RaiseClosing();
    ASSERT_TRUE(program.ended_within(10000));
    EXPECT_EQ(program.exit_code(), 0u);
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

bool standin_running() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = lstrcmpiW(entry.szExeFile, L"echolink-standin.exe") == 0;
    CloseHandle(snapshot);
    return found;
}

TEST(EndToEndWithoutEchoLink, SaysTheObjectCannotBeCreatedAndEndsBeforeItsWindow) {
    ComApartment apartment;
    ASSERT_EQ(run_standin(L"/unregserver"), 0u);
    ASSERT_TRUE(wait_until([] { return !standin_running(); }, 15000));
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
