// The EchoLink binding against the stand-in in its own process: each operation as EchoLink receives it,
// failures raised as errors with their status, and the Closing event delivered.
#include <gtest/gtest.h>

#include "echolink/com_echolink_win.h"
#include "support/debug_output.h"
#include "support/standin_test.h"

namespace relinka::testing {
namespace {

class EchoLinkBinding : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        if (HasFatalFailure()) return;
        standin->SetConnectDelay(0);
        link = ComEchoLink::create([this] { ++closings; });
    }

    std::unique_ptr<ComEchoLink> link;
    int closings = 0;
};

TEST_F(EchoLinkBinding, EachOperationReachesEchoLinkWithItsArguments) {
    link->Connect(L"PU2ABC", true);
    EXPECT_TRUE(link->IsConnected(L"PU2ABC"));
    EXPECT_FALSE(link->IsConnected(L"PY1AA"));
    link->Connect(L"PU2ÇÃ", true);
    link->Connect(L"  ", false);
    link->Disconnect(L"PU2ABC");
    EXPECT_FALSE(link->IsConnected(L"PU2ABC"));
    link->DisconnectAll();
    EXPECT_FALSE(link->IsConnected(L"PU2ÇÃ"));
    EXPECT_EQ(standin.log(),
              L"Connect(\"PU2ABC\",-1)\n"
              L"IsConnected(\"PU2ABC\")\n"
              L"IsConnected(\"PY1AA\")\n"
              L"Connect(\"PU2ÇÃ\",-1)\n"
              L"Connect(\"  \",0)\n"
              L"Disconnect(\"PU2ABC\")\n"
              L"IsConnected(\"PU2ABC\")\n"
              L"DisconnectAll()\n"
              L"IsConnected(\"PU2ÇÃ\")\n");
}

// Through the type library's marshalling, by position: each of the program's thirteen methods reaches the
// stand-in's method of the same name.
TEST_F(EchoLinkBinding, EveryMethodOfTheDeclarationStandsInItsPlace) {
    Microsoft::WRL::ComPtr<IEchoLinkApp> object;
    ASSERT_EQ(CoCreateInstance(kEchoLinkClass, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object)), S_OK);
    UniqueBstr text;
    long number = 0;
    VARIANT_BOOL flag = VARIANT_FALSE;
    const UniqueBstr callsign(SysAllocString(L"PU2ABC"));
    standin->ClearCallLog();
    object->Version(text.put());
    object->Connect(callsign.get(), VARIANT_TRUE);
    object->Disconnect(callsign.get());
    object->DisconnectAll();
    object->Transmit(VARIANT_FALSE);
    object->ConnectionCount(&number);
    object->ConnectionAt(0, text.put());
    object->SendText(callsign.get());
    object->Callsign(text.put());
    object->IsTransmitting(&flag);
    object->Mute(VARIANT_FALSE);
    object->Status(text.put());
    object->IsConnected(callsign.get(), &flag);
    EXPECT_EQ(standin.log(),
              L"Version()\n"
              L"Connect(\"PU2ABC\",-1)\n"
              L"Disconnect(\"PU2ABC\")\n"
              L"DisconnectAll()\n"
              L"Transmit(0)\n"
              L"ConnectionCount()\n"
              L"ConnectionAt(0)\n"
              L"SendText(\"PU2ABC\")\n"
              L"Callsign()\n"
              L"IsTransmitting()\n"
              L"Mute(0)\n"
              L"Status()\n"
              L"IsConnected(\"PU2ABC\")\n");
}

TEST_F(EchoLinkBinding, ConnectionComesUpAfterTheDelayEchoLinkTakes) {
    standin->SetConnectDelay(400);
    link->Connect(L"PU2ABC", true);
    EXPECT_FALSE(link->IsConnected(L"PU2ABC"));
    Sleep(600);
    EXPECT_TRUE(link->IsConnected(L"PU2ABC"));
}

TEST_F(EchoLinkBinding, FailureStatusBecomesAnErrorCarryingItAndLeavesATrace) {
    constexpr HRESULT kFailure = 0x80040200;
    const DebugOutput debug_output;
    ASSERT_TRUE(debug_output.reading());
    standin->FailCalls(kFailure);
    const std::function<void()> calls[] = {
        [&] { link->Connect(L"PU2ABC", true); },
        [&] { link->Disconnect(L"PU2ABC"); },
        [&] { link->DisconnectAll(); },
        [&] { link->IsConnected(L"PU2ABC"); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE() << "a failure status was taken for success";
        } catch (const EchoLinkError& failure) {
            EXPECT_EQ(failure.status(), kFailure);
        }
    }
    EXPECT_TRUE(wait_until([&] { return debug_output.text(GetCurrentProcessId()).size() > 0; }, 2000));
    EXPECT_EQ(debug_output.text(GetCurrentProcessId()),
              "relinka: EchoLink Connect: 0x80040200\n"
              "relinka: EchoLink Disconnect: 0x80040200\n"
              "relinka: EchoLink DisconnectAll: 0x80040200\n"
              "relinka: EchoLink IsConnected: 0x80040200\n");
}

TEST_F(EchoLinkBinding, ClosingIsDelivered) {
    standin->RaiseClosing();
    EXPECT_TRUE(wait_until([&] { return closings == 1; }, 5000));
}

TEST_F(EchoLinkBinding, ClosingArrivesWhileACallWaitsAndTheCallStillAnswers) {
    standin->RaiseClosingDuringNextCall();
    link->Connect(L"PU2ABC", true);
    EXPECT_EQ(closings, 1);
    EXPECT_TRUE(link->IsConnected(L"PU2ABC"));
}

TEST_F(EchoLinkBinding, ClosingIsReadFromTheRegisteredTypeLibrary) {
    EXPECT_EQ(ClosingSink::registered_closing_dispid(), 1);
}

TEST_F(EchoLinkBinding, LettingGoUnsubscribesAndTellsEchoLinkNothing) {
    link->Connect(L"PU2ABC", true);
    long subscribers = 0;
    standin->SubscriberCount(&subscribers);
    EXPECT_EQ(subscribers, 1);
    standin->ClearCallLog();
    link.reset();
    standin->SubscriberCount(&subscribers);
    EXPECT_EQ(subscribers, 0);
    EXPECT_EQ(standin.log(), L"");
    EXPECT_EQ(standin.connections(), L"PU2ABC\n") << "EchoLink keeps its connections";
}

TEST_F(EchoLinkBinding, EchoLinkGoneMakesEveryCallFail) {
    // The stand-in's "Fechar": Closing, then the server ends and its object is cut off.
    const HWND window = FindWindowW(nullptr, L"EchoLink (substituto)");
    ASSERT_TRUE(window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(wait_until([&] { return closings == 1; }, 5000));
    ASSERT_TRUE(wait_until([&] { return !IsWindow(window); }, 5000));
    EXPECT_THROW(link->IsConnected(L"PU2ABC"), EchoLinkError);
    EXPECT_THROW(link->DisconnectAll(), EchoLinkError);
}

}  // namespace
}  // namespace relinka::testing
