// "Desconectar amigo" and "Desconecta todos".
#include <gtest/gtest.h>

#include "fakes.h"

namespace relinka::testing {
namespace {

TEST(DropOne, EmptyBoxBeepsAsksAndCallsNobody) {
    Rig rig;
    rig.load();
    rig.amigos.Command2_Click();
    EXPECT_EQ(rig.take_trace(), (Trace{"beep", "msgbox \"Entre com o indicativo primeiro\" \"Relinka\" 0"}));
    EXPECT_EQ(rig.form.text[kDropBox], L"");
}

TEST(DropOne, CallsignIsUpperCasedThenDisconnectedWithoutABeep) {
    for (const auto& [typed, sent] : {std::pair{L"pu2abc", "\"PU2ABC\""}, std::pair{L"   ", "\"   \""}}) {
        Rig rig;
        rig.load();
        rig.form.text[kDropBox] = typed;
        rig.amigos.Command2_Click();
        EXPECT_EQ(rig.take_trace(),
                  (Trace{"Text9=" + std::string(sent), "Disconnect(" + std::string(sent) + ")"}));
    }
}

TEST(DropOne, FailureIsSkippedSilently) {
    Rig rig;
    rig.load();
    rig.form.text[kDropBox] = L"PU2ABC";
    rig.station.failing["Disconnect"] = static_cast<std::int32_t>(0x80004005);
    rig.amigos.Command2_Click();
    EXPECT_EQ(rig.take_trace(), (Trace{"Text9=\"PU2ABC\"", "Disconnect(\"PU2ABC\")"}));
}

const Trace kDropAll{
    "beep",         "Timer1 off",   "let sleep",    "Shape1.FillColor=255", "Shape1.BackColor=255",
    "Label1=\" \"", "Label2=\" \"", "Label3=\" \"", "Label4=\" \"",         "Label5=\" \"",
    "Label6=\" \"", "Label7=\" \"", "Label8=\" \"", "DisconnectAll()"};

TEST(DropAll, StopsBlanksThenDisconnectsKeepingTicksAndCallsigns) {
    Rig rig;
    rig.load();
    rig.form.check[1] = 1;
    rig.form.text[1] = L"PU2ABC";
    rig.amigos.Command6_Click();
    EXPECT_EQ(rig.take_trace(), kDropAll);
    rig.amigos.Command6_Click();  // already stopped: the same steps again
    EXPECT_EQ(rig.take_trace(), kDropAll);
    EXPECT_EQ(rig.form.check[1], 1);
    EXPECT_EQ(rig.form.text[1], L"PU2ABC");
}

TEST(DropAll, FailureIsShownAndTheProgramStaysStopped) {
    Rig rig;
    rig.load();
    rig.station.failing["DisconnectAll"] = static_cast<std::int32_t>(0x800706BA);
    rig.amigos.Command6_Click();
    Trace expected = kDropAll;
    expected.push_back(
        "msgbox \"O EchoLink não conseguiu desconectar as estações (erro 0x800706BA).\" \"Relinka\" 48");
    EXPECT_EQ(rig.take_trace(), expected);
    EXPECT_FALSE(rig.amigos.ended());
    EXPECT_FALSE(rig.form.timer_enabled);
    EXPECT_EQ(rig.form.fill, kRed);
}

TEST(DropAll, ClosingDuringTheCallShowsNothing) {
    Rig rig;
    rig.load();
    rig.station.failing["DisconnectAll"] = static_cast<std::int32_t>(0x800706BA);
    rig.station.during_next_call = [&] { rig.raise_closing(); };
    rig.amigos.Command6_Click();
    Trace expected = kDropAll;
    expected.push_back("let sleep");
    expected.push_back("Unload");
    EXPECT_EQ(rig.take_trace(), expected);
}

TEST(DropAll, LigaAfterwardsReconnectsTheTickedStations) {
    Rig rig;
    rig.load();
    rig.form.check[1] = 1;
    rig.form.text[1] = L"PU2ABC";
    rig.station.connected = {L"PU2ABC"};
    rig.amigos.Command6_Click();
    rig.amigos.Command5_Click();
    rig.take_trace();
    rig.amigos.Timer1_Timer();
    const Trace trace = rig.take_trace();
    EXPECT_EQ(Trace(trace.begin(), trace.begin() + 6),
              (Trace{"Text1=\"PU2ABC\"", "IsConnected(\"PU2ABC\")", "sleep 3000", "Connect(\"PU2ABC\",-1)",
                     "IsConnected(\"PU2ABC\")", "Label1=\"conectado\""}));
}

}  // namespace
}  // namespace relinka::testing
