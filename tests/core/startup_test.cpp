// Start-up and the ways the program ends.
#include <gtest/gtest.h>

#include "fakes.h"

namespace relinka::testing {
namespace {

TEST(StartUp, CreatesTheLinkThenRunsTheCycleKeepingThePCAwakeThenFillsTheSlots) {
    Rig rig;
    rig.desktop.files[L"amigos.txt"] = "PU2ABC\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    rig.amigos.Form_Load();
    EXPECT_EQ(rig.take_trace(),
              (Trace{"create Echo", "Timer1 on", "keep awake", "Shape1.FillColor=65280",
                     "Shape1.BackColor=65280", "Text1=\"PU2ABC\"", "Text2=\"\"", "Text3=\"\"", "Text4=\"\"",
                     "Text5=\"\"", "Text6=\"\"", "Text7=\"\"", "Text8=\"\"", "Check1=1"}));
}

TEST(StartUp, WithoutFriendsFileLeavesTheSlotsAlone) {
    Rig rig;
    rig.amigos.Form_Load();
    EXPECT_EQ(rig.take_trace(), (Trace{"create Echo", "Timer1 on", "keep awake", "Shape1.FillColor=65280",
                                       "Shape1.BackColor=65280"}));
    EXPECT_TRUE(rig.form.timer_enabled);
}

TEST(StartUp, LinkThatCannotBeCreatedStopsStartUpWithItsStatus) {
    Rig rig;
    rig.creation_failure = static_cast<std::int32_t>(0x80040154);
    try {
        rig.amigos.Form_Load();
        FAIL() << "start-up went on without EchoLink";
    } catch (const EchoLinkError& failure) {
        EXPECT_EQ(failure.status(), static_cast<std::int32_t>(0x80040154));
    }
    EXPECT_EQ(rig.take_trace(), Trace{"create Echo"});
    EXPECT_EQ(status_code_text(static_cast<std::int32_t>(0x80040154)), L"0x80040154");
}

TEST(StartUp, ClosingWhileTheLinkIsMadeEndsStartUpThere) {
    Rig rig;
    rig.desktop.files[L"amigos.txt"] = "PU2ABC\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    rig.closing_while_created = true;
    rig.amigos.Form_Load();
    EXPECT_EQ(rig.take_trace(), (Trace{"create Echo", "let sleep", "Unload"}));
    EXPECT_TRUE(rig.amigos.ended());
    EXPECT_FALSE(rig.form.timer_enabled);
}

TEST(Exit, AnsweredYesEndsWithoutTellingEchoLink) {
    Rig rig;
    rig.load();
    rig.desktop.answers = {kYes};
    rig.amigos.Command1_Click();
    EXPECT_EQ(rig.take_trace(), (Trace{"beep", "msgbox \"Tem certeza que quer sair?\" \"relinka\" 292",
                                       "let sleep", "Unload"}));
    EXPECT_TRUE(rig.amigos.ended());
}

TEST(Exit, AnsweredNoChangesNothing) {
    Rig rig;
    rig.load();
    rig.desktop.answers = {kNo};
    rig.amigos.Command1_Click();
    EXPECT_EQ(rig.take_trace(), (Trace{"beep", "msgbox \"Tem certeza que quer sair?\" \"relinka\" 292"}));
    EXPECT_FALSE(rig.amigos.ended());
    EXPECT_TRUE(rig.form.timer_enabled);
}

TEST(Exit, CloseBoxAndClosingEndWithoutAQuestion) {
    for (bool by_closing : {false, true}) {
        Rig rig;
        rig.load();
        if (by_closing)
            rig.raise_closing();
        else
            rig.amigos.end_program();
        EXPECT_EQ(rig.take_trace(), (Trace{"let sleep", "Unload"}));
        EXPECT_TRUE(rig.amigos.ended());
        EXPECT_FALSE(rig.station.released) << "released while a call may still be on the stack";
    }
}

TEST(Exit, NoHandlerRunsAfterTheEnd) {
    Rig rig;
    rig.load();
    rig.form.check[1] = 1;
    rig.form.text[1] = L"PU2ABC";
    rig.raise_closing();
    rig.take_trace();
    rig.amigos.Timer1_Timer();
    rig.amigos.Command1_Click();
    rig.amigos.Command5_Click();
    rig.amigos.Command6_Click();
    rig.amigos.gravar_Click();
    rig.amigos.Command3_Click();
    EXPECT_TRUE(rig.take_trace().empty());
}

TEST(Exit, ClosingWhileTheExitQuestionIsOpenEndsOnce) {
    Rig rig;
    rig.load();
    rig.desktop.answers = {kYes};
    rig.desktop.while_message_box_open = [&] { rig.raise_closing(); };
    rig.amigos.Command1_Click();
    EXPECT_EQ(rig.take_trace(), (Trace{"beep", "msgbox \"Tem certeza que quer sair?\" \"relinka\" 292",
                                       "let sleep", "Unload"}));
}

}  // namespace
}  // namespace relinka::testing
