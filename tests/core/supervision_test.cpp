// The supervision tick, and "Liga"/"Desliga".
#include <gtest/gtest.h>

#include <new>

#include "fakes.h"

namespace relinka::testing {
namespace {

Trace blank_labels(int from, int to) {
    Trace steps;
    for (int slot = from; slot <= to; ++slot) steps.push_back("Label" + std::to_string(slot) + "=\" \"");
    return steps;
}

Trace operator+(Trace first, const Trace& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// A loaded rig with slot 1 ticked and holding `callsign`.
struct Slot1 : Rig {
    explicit Slot1(std::wstring callsign) {
        load();
        form.check[1] = 1;
        form.text[1] = std::move(callsign);
    }
};

TEST(Tick, NothingTickedBlanksEveryLabelAndCallsNobody) {
    Rig rig;
    rig.load();
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(), (blank_labels(1, 8)));
}

TEST(Tick, ConnectedStationIsAskedTwiceWithoutWaiting) {
    Slot1 rig(L"PU2ABC");
    rig.station.connected = {L"PU2ABC"};
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(), (Trace{"Text1=\"PU2ABC\"", "IsConnected(\"PU2ABC\")",
                                       "IsConnected(\"PU2ABC\")", "Label1=\"conectado\""} +
                                 blank_labels(2, 8)));
}

TEST(Tick, StationDownWaitsThenConnectsThenAsksAgain) {
    Slot1 rig(L"PU2ABC");
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(),
              (Trace{"Text1=\"PU2ABC\"", "IsConnected(\"PU2ABC\")", "sleep 3000", "Connect(\"PU2ABC\",-1)",
                     "IsConnected(\"PU2ABC\")", "Label1=\"conectado\""} +
               blank_labels(2, 8)));
}

TEST(Tick, StationThatStaysDownShowsDisconnectedAndIsTriedAgainNextTick) {
    Slot1 rig(L"PU2ABC");
    rig.station.connect_brings_up = false;
    const Trace one_tick =
        Trace{"Text1=\"PU2ABC\"",       "IsConnected(\"PU2ABC\")", "sleep 3000",
              "Connect(\"PU2ABC\",-1)", "IsConnected(\"PU2ABC\")", "Label1=\"desconectado\""} +
        blank_labels(2, 8);
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(), one_tick);
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(), one_tick);
}

TEST(Tick, FailedCallsAreSkippedAsTheCycleReadsThem) {
    struct Case {
        std::set<int> failing_calls;
        bool connected_before;
        Trace steps;
    };
    const Case cases[] = {
        // First query fails: counts as down, so wait and connect.
        {{1},
         true,
         {"IsConnected(\"PU2ABC\")", "sleep 3000", "Connect(\"PU2ABC\",-1)", "IsConnected(\"PU2ABC\")",
          "Label1=\"conectado\""}},
        // Connect fails: the second query follows.
        {{2},
         false,
         {"IsConnected(\"PU2ABC\")", "sleep 3000", "Connect(\"PU2ABC\",-1)", "IsConnected(\"PU2ABC\")",
          "Label1=\"desconectado\""}},
        // Second query fails: "desconectado", even though EchoLink holds the station.
        {{2}, true, {"IsConnected(\"PU2ABC\")", "IsConnected(\"PU2ABC\")", "Label1=\"desconectado\""}},
        // Everything fails: the wait on every tick, and nothing reported.
        {{1, 2, 3},
         false,
         {"IsConnected(\"PU2ABC\")", "sleep 3000", "Connect(\"PU2ABC\",-1)", "IsConnected(\"PU2ABC\")",
          "Label1=\"desconectado\""}},
    };
    for (const Case& c : cases) {
        Slot1 rig(L"PU2ABC");
        rig.station.failing_calls = c.failing_calls;
        if (c.connected_before) rig.station.connected = {L"PU2ABC"};
        rig.amigos.Timer1_Timer();
        EXPECT_EQ(rig.take_trace(), (Trace{"Text1=\"PU2ABC\""} + c.steps + blank_labels(2, 8)));
    }
}

// EchoLink busy with a dialog of its own turns a call away (after the binding has tried it again for 2 s):
// the rest of the tick makes no call and leaves every label, the unticked slots' blanks included, as it
// was; the next tick tries again.
TEST(Tick, BusyEchoLinkEndsTheTickWithEveryLabelAsItWas) {
    struct Case {
        int busy_call;  // 1, 2, ... in the order the tick makes them
        Trace steps;
    };
    const Trace slot1{"Text1=\"PU2ABC\"", "IsConnected(\"PU2ABC\")", "sleep 3000", "Connect(\"PU2ABC\",-1)",
                      "IsConnected(\"PU2ABC\")"};
    const Trace slot3{"Text3=\"PY1AA\"", "IsConnected(\"PY1AA\")"};
    const Case cases[] = {
        {1, {slot1.begin(), slot1.begin() + 2}},  // the first query: no wait, no Connect
        {2, {slot1.begin(), slot1.begin() + 4}},  // Connect: no second query
        {3, slot1},                               // the second query: Label1 untouched
        {4, slot1 + Trace{"Label1=\"conectado\""} + blank_labels(2, 2) + slot3},  // a later slot's
    };
    for (const Case& c : cases) {
        Slot1 rig(L"PU2ABC");
        rig.form.check[3] = 1;
        rig.form.text[3] = L"PY1AA";
        rig.station.failing_calls = {c.busy_call};
        rig.station.failing_status = static_cast<std::int32_t>(0x80010001);  // RPC_E_CALL_REJECTED
        rig.amigos.Timer1_Timer();
        EXPECT_EQ(rig.take_trace(), c.steps) << "busy at call " << c.busy_call;
        rig.amigos.Timer1_Timer();
        EXPECT_EQ(rig.take_trace().back(), "Label8=\" \"") << "the next tick runs whole";
    }
}

TEST(Tick, EmptyTickedSlotBeepsTwiceAsksAndUnticks) {
    Slot1 rig(L"");
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(),
              (Trace{"beep", "beep", "msgbox \"Entre com a estação desejada primeiro...\" \"Relinka\" 0",
                     "Check1=0", "Label1=\" \""} +
               blank_labels(2, 8)));
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(), (blank_labels(1, 8))) << "the message comes back only when ticked again";
}

TEST(Tick, CallsignIsUpperCasedInItsBoxAndEveryCallGetsTheBoxText) {
    for (const auto& [typed, sent] : {std::pair{L"pu2çã", "PU2ÇÃ"}, std::pair{L"  ", "  "}}) {
        Slot1 rig(typed);
        rig.station.connected = {};
        rig.amigos.Timer1_Timer();
        const std::string quoted = "\"" + std::string(sent) + "\"";
        EXPECT_EQ(rig.take_trace(), (Trace{"Text1=" + quoted, "IsConnected(" + quoted + ")", "sleep 3000",
                                           "Connect(" + quoted + ",-1)", "IsConnected(" + quoted + ")",
                                           "Label1=\"conectado\""} +
                                     blank_labels(2, 8)));
    }
}

TEST(Tick, BoxIsReadAfreshForEveryCall) {
    Slot1 rig(L"PU2ABC");
    rig.station.during_next_call = [&] { rig.form.text[1] = L"PU2XYZ"; };  // the operator types meanwhile
    rig.amigos.Timer1_Timer();
    const Trace trace = rig.take_trace();
    EXPECT_EQ(trace[1], "IsConnected(\"PU2ABC\")");
    EXPECT_EQ(trace[3], "Connect(\"PU2XYZ\",-1)");
    EXPECT_EQ(trace[4], "IsConnected(\"PU2XYZ\")");
}

TEST(Tick, SlotsAreVisitedInOrderEachToItsEnd) {
    Rig rig;
    rig.load();
    rig.form.check[2] = rig.form.check[5] = rig.form.check[7] = 1;
    rig.form.text[2] = L"PY1AA";
    rig.form.text[5] = L"*RIO*";
    rig.form.text[6] = L"UNTICKED";
    rig.station.connected = {L"PY1AA"};
    rig.desktop.answers = {kOk};
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(),
              (blank_labels(1, 1) +
               Trace{"Text2=\"PY1AA\"", "IsConnected(\"PY1AA\")", "IsConnected(\"PY1AA\")",
                     "Label2=\"conectado\""} +
               blank_labels(3, 4) +
               Trace{"Text5=\"*RIO*\"", "IsConnected(\"*RIO*\")", "sleep 3000", "Connect(\"*RIO*\",-1)",
                     "IsConnected(\"*RIO*\")", "Label5=\"conectado\""} +
               blank_labels(6, 6) +
               Trace{"beep", "beep", "msgbox \"Entre com a estação desejada primeiro...\" \"Relinka\" 0",
                     "Check7=0", "Label7=\" \""} +
               blank_labels(8, 8)));
}

TEST(Tick, TwoEmptySlotsGiveTwoMessagesInOneTick) {
    Rig rig;
    rig.load();
    rig.form.check[3] = rig.form.check[4] = 1;
    rig.amigos.Timer1_Timer();
    int messages = 0;
    for (const std::string& step : rig.take_trace()) messages += step.rfind("msgbox", 0) == 0;
    EXPECT_EQ(messages, 2);
    EXPECT_EQ(rig.form.check[3] + rig.form.check[4], 0);
}

TEST(Tick, TicksFallingDueDuringATickRunOnceWhenItEnds) {
    // While the cycle's message box is open, and while EchoLink is answering.
    Slot1 rig(L"");
    rig.form.check[2] = 1;
    rig.form.text[2] = L"PU2ABC";
    rig.station.connected = {L"PU2ABC"};
    rig.desktop.while_message_box_open = [&] { rig.amigos.Timer1_Timer(); };
    rig.station.during_next_call = [&] { rig.amigos.Timer1_Timer(); };
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(),
              (Trace{"beep", "beep", "msgbox \"Entre com a estação desejada primeiro...\" \"Relinka\" 0",
                     "Check1=0", "Label1=\" \"", "Text2=\"PU2ABC\"", "IsConnected(\"PU2ABC\")",
                     "IsConnected(\"PU2ABC\")", "Label2=\"conectado\""} +
               blank_labels(3, 8) + Trace{"Timer1 due"}));
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace().size(), 11u) << "the guard is released when the tick ends";
}

TEST(Tick, TickLeftByAnUnexpectedExceptionStillLetsTheNextOneRun) {
    Slot1 rig(L"PU2ABC");
    rig.station.during_next_call = [] { throw std::bad_alloc(); };
    EXPECT_THROW(rig.amigos.Timer1_Timer(), std::bad_alloc);
    rig.take_trace();
    rig.station.connected = {L"PU2ABC"};
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(), (Trace{"Text1=\"PU2ABC\"", "IsConnected(\"PU2ABC\")",
                                       "IsConnected(\"PU2ABC\")", "Label1=\"conectado\""} +
                                 blank_labels(2, 8)));
}

TEST(Tick, ClosingDuringACallEndsTheTickAtOnce) {
    Slot1 rig(L"PU2ABC");
    rig.form.check[2] = 1;
    rig.form.text[2] = L"PY1AA";
    rig.station.during_next_call = [&] { rig.raise_closing(); };
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(),
              (Trace{"Text1=\"PU2ABC\"", "IsConnected(\"PU2ABC\")", "let sleep", "Unload"}));
}

TEST(Tick, DuringTheWaitATickFallsDueAndClosingEndsTheTickWithoutAnotherCall) {
    Slot1 rig(L"PU2ABC");
    rig.form.check[2] = 1;
    rig.form.text[2] = L"PY1AA";
    rig.desktop.while_sleeping = [&] { rig.amigos.Timer1_Timer(); };
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(
        rig.take_trace(),
        (Trace{"Text1=\"PU2ABC\"", "IsConnected(\"PU2ABC\")", "sleep 3000", "Connect(\"PU2ABC\",-1)",
               "IsConnected(\"PU2ABC\")", "Label1=\"conectado\"", "Text2=\"PY1AA\"", "IsConnected(\"PY1AA\")",
               "sleep 3000", "Connect(\"PY1AA\",-1)", "IsConnected(\"PY1AA\")", "Label2=\"conectado\""} +
         blank_labels(3, 8) + Trace{"Timer1 due"}));

    rig.station.connected.clear();
    rig.desktop.while_sleeping = [&] { rig.raise_closing(); };
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(),
              (Trace{"Text1=\"PU2ABC\"", "IsConnected(\"PU2ABC\")", "sleep 3000", "let sleep", "Unload"}));
}

TEST(Tick, ClosingWhileTheMessageIsOpenLeavesTheSlotAlone) {
    Slot1 rig(L"");
    rig.desktop.while_message_box_open = [&] { rig.raise_closing(); };
    rig.amigos.Timer1_Timer();
    EXPECT_EQ(rig.take_trace(),
              (Trace{"beep", "beep", "msgbox \"Entre com a estação desejada primeiro...\" \"Relinka\" 0",
                     "let sleep", "Unload"}));
    EXPECT_EQ(rig.form.check[1], 1);
}

// The PC is kept awake exactly while the timer runs: its request follows the timer, before the indicator.
TEST(Switch, LigaAndDesligaBeepThenSetTimerAndThePCsSleepThenFillThenBackground) {
    const Trace liga{"beep", "Timer1 on", "keep awake", "Shape1.FillColor=65280", "Shape1.BackColor=65280"};
    const Trace desliga{"beep", "Timer1 off", "let sleep", "Shape1.FillColor=255", "Shape1.BackColor=255"};
    Rig rig;
    rig.load();
    rig.amigos.Command5_Click();  // while running
    EXPECT_EQ(rig.take_trace(), liga);
    rig.amigos.Command4_Click();
    EXPECT_EQ(rig.take_trace(), desliga);
    rig.amigos.Command4_Click();  // while stopped
    EXPECT_EQ(rig.take_trace(), desliga);
    EXPECT_FALSE(rig.form.timer_enabled);
    EXPECT_EQ(rig.form.fill, kRed);
    rig.amigos.Command5_Click();
    EXPECT_EQ(rig.take_trace(), liga);
    EXPECT_TRUE(rig.form.timer_enabled);
    EXPECT_EQ(rig.form.back, kGreen);
}

}  // namespace
}  // namespace relinka::testing
