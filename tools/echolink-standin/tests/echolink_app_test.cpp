// The EchoLink object held in-process: behaviour and log, without COM's marshalling in the way.
#include "echolink_app.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "test_support.h"

namespace standin {
namespace {

class EchoLinkAppTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(apartment_.result());
        ASSERT_HRESULT_SUCCEEDED(EchoLinkApp::create(nullptr, object_));
        ASSERT_HRESULT_SUCCEEDED(object_.As(&app));
        ASSERT_HRESULT_SUCCEEDED(object_.As(&control));
        ASSERT_HRESULT_SUCCEEDED(control->SetConnectDelay(0));
    }

    bool is_connected(std::wstring_view callsign) {
        VARIANT_BOOL connected = 7;
        EXPECT_HRESULT_SUCCEEDED(app->IsConnected(Bstr(callsign).get(), &connected));
        EXPECT_TRUE(connected == VARIANT_TRUE || connected == VARIANT_FALSE);
        return connected == VARIANT_TRUE;
    }

    std::wstring call_log() {
        Bstr log;
        EXPECT_HRESULT_SUCCEEDED(control->CallLog(log.out()));
        return log.text();
    }

    DWORD advise(RecordingSink* sink) {
        ComPtr<IConnectionPoint> point;
        EXPECT_HRESULT_SUCCEEDED(object_->FindConnectionPoint(DIID_IEchoLinkAppEvents, &point));
        DWORD cookie = 0;
        EXPECT_HRESULT_SUCCEEDED(point->Advise(sink, &cookie));
        return cookie;
    }

    ComApartment apartment_;
    ComPtr<EchoLinkApp> object_;
    ComPtr<IEchoLinkApp> app;
    ComPtr<IStandInControl> control;
};

TEST_F(EchoLinkAppTest, LogsEachEchoLinkCallInOrderAndNoControlCall) {
    app->Connect(Bstr(L"PU2ABC").get(), VARIANT_TRUE);
    app->Connect(Bstr(L" pu2çã ").get(), VARIANT_FALSE);
    is_connected(L"PU2ABC");
    control->DropLink(Bstr(L"PU2ABC").get());
    control->SetAnswerDelay(0);
    app->Disconnect(Bstr(L"PY1XYZ").get());
    app->DisconnectAll();
    app->Connect(nullptr, VARIANT_TRUE);  // a null BSTR is the empty string
    EXPECT_EQ(call_log(),
              L"Connect(\"PU2ABC\",-1)\n"
              L"Connect(\" pu2çã \",0)\n"
              L"IsConnected(\"PU2ABC\")\n"
              L"Disconnect(\"PY1XYZ\")\n"
              L"DisconnectAll()\n"
              L"Connect(\"\",-1)\n");

    control->ClearCallLog();
    EXPECT_EQ(call_log(), L"");
}

TEST_F(EchoLinkAppTest, LinkComesUpAfterTheConnectDelay) {
    control->SetConnectDelay(300);
    app->Connect(Bstr(L"PU2ABC").get(), VARIANT_TRUE);
    EXPECT_FALSE(is_connected(L"PU2ABC"));
    Sleep(400);
    EXPECT_TRUE(is_connected(L"PU2ABC"));
}

TEST_F(EchoLinkAppTest, DisconnectsDropLinksAndConnectionsListsEstablishedOnes) {
    for (const wchar_t* callsign : {L"PY1XYZ", L"PU2ABC", L"PP5KLM"})
        app->Connect(Bstr(callsign).get(), VARIANT_TRUE);
    control->SetConnectDelay(60'000);
    app->Connect(Bstr(L"PT7PEN").get(), VARIANT_TRUE);
    app->Disconnect(Bstr(L"PP5KLM").get());
    Bstr connections;
    control->Connections(connections.out());
    EXPECT_EQ(connections.text(), L"PU2ABC\nPY1XYZ\n");

    control->DropLink(Bstr(L"PU2ABC").get());
    EXPECT_FALSE(is_connected(L"PU2ABC"));
    app->DisconnectAll();
    EXPECT_FALSE(is_connected(L"PY1XYZ"));
    control->Connections(connections.out());
    EXPECT_EQ(connections.text(), L"");
}

TEST_F(EchoLinkAppTest, RefusedCallsignIsAcceptedButNeverComesUp) {
    control->RefuseCallsign(Bstr(L"PU2ABC").get());
    EXPECT_EQ(app->Connect(Bstr(L"PU2ABC").get(), VARIANT_TRUE), S_OK);
    EXPECT_FALSE(is_connected(L"PU2ABC"));
}

TEST_F(EchoLinkAppTest, FailedCallsAnswerTheStatusAreLoggedAndChangeNothing) {
    const HRESULT server_gone = HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    control->FailCalls(server_gone);
    EXPECT_EQ(app->Connect(Bstr(L"PU2ABC").get(), VARIANT_TRUE), server_gone);
    VARIANT_BOOL connected = 7;
    EXPECT_EQ(app->IsConnected(Bstr(L"PU2ABC").get(), &connected), server_gone);
    EXPECT_EQ(connected, VARIANT_FALSE);
    Bstr version;
    EXPECT_EQ(app->Version(version.out()), server_gone);
    EXPECT_EQ(version.get(), nullptr);

    control->FailCalls(S_OK);
    EXPECT_FALSE(is_connected(L"PU2ABC"));
    EXPECT_EQ(call_log(),
              L"Connect(\"PU2ABC\",-1)\nIsConnected(\"PU2ABC\")\nVersion()\nIsConnected(\"PU2ABC\")\n");
}

TEST_F(EchoLinkAppTest, AnswerDelayHoldsEveryEchoLinkCall) {
    control->SetAnswerDelay(200);
    const ULONGLONG start = GetTickCount64();
    app->DisconnectAll();
    EXPECT_GE(GetTickCount64() - start, 150u);  // the tick count and the sleep are both coarse
}

TEST_F(EchoLinkAppTest, RaiseClosingCallsEverySinkEvenAfterOneFails) {
    Trace trace;
    auto failing = make_sink(trace, L"first");
    failing->answer = E_FAIL;
    auto second = make_sink(trace, L"second");
    advise(failing.Get());
    advise(second.Get());
    LONG subscribers = 0;
    control->SubscriberCount(&subscribers);
    EXPECT_EQ(subscribers, 2);

    EXPECT_EQ(control->RaiseClosing(), S_OK);
    EXPECT_EQ(trace, (Trace{L"first 1", L"second 1"}));
    EXPECT_EQ(call_log(), L"");
}

TEST_F(EchoLinkAppTest, ClosingDuringNextCallComesBeforeTheAnswerAndOnlyOnce) {
    Trace trace;
    auto sink = make_sink(trace, L"sink");
    advise(sink.Get());
    control->RaiseClosingDuringNextCall();
    EXPECT_TRUE(trace.empty());
    is_connected(L"PU2ABC");
    trace.push_back(L"answered");
    is_connected(L"PU2ABC");
    EXPECT_EQ(trace, (Trace{L"sink 1", L"answered"}));
}

TEST_F(EchoLinkAppTest, ClosingDuringNextAdviseReachesTheNewSinkBeforeAdviseAnswersAndOnlyOnce) {
    Trace trace;
    auto first = make_sink(trace, L"first");
    auto second = make_sink(trace, L"second");
    control->RaiseClosingDuringNextAdvise();
    advise(first.Get());
    trace.push_back(L"advised");
    advise(second.Get());
    EXPECT_EQ(trace, (Trace{L"first 1", L"advised"}));
}

TEST_F(EchoLinkAppTest, SinkMayUnadviseWhileClosingIsRaised) {
    Trace trace;
    auto leaving = make_sink(trace, L"leaving");
    auto staying = make_sink(trace, L"staying");
    const DWORD cookie = advise(leaving.Get());
    advise(staying.Get());
    leaving->during_invoke = [&] {
        ComPtr<IConnectionPoint> point;
        object_->FindConnectionPoint(DIID_IEchoLinkAppEvents, &point);
        point->Unadvise(cookie);
    };
    control->RaiseClosing();
    control->RaiseClosing();
    EXPECT_EQ(trace, (Trace{L"leaving 1", L"staying 1", L"staying 1"}));
}

// Every reference a client hands over is let go: a sink unadvised goes at once, and one still advised
// goes with the object when its last client lets go of it.
TEST_F(EchoLinkAppTest, TheObjectLetsGoOfItsSinksAndGoesWithItsLastClient) {
    Trace trace;
    bool unadvised_gone = false, advised_gone = false;
    {
        ComPtr<EchoLinkApp> object;
        ASSERT_HRESULT_SUCCEEDED(EchoLinkApp::create(nullptr, object));
        ComPtr<IConnectionPoint> point;
        ASSERT_HRESULT_SUCCEEDED(object->FindConnectionPoint(DIID_IEchoLinkAppEvents, &point));
        auto unadvised = make_sink(trace, L"unadvised"), advised = make_sink(trace, L"advised");
        unadvised->destroyed = &unadvised_gone;
        advised->destroyed = &advised_gone;
        DWORD cookie = 0;
        ASSERT_HRESULT_SUCCEEDED(point->Advise(unadvised.Get(), &cookie));
        ASSERT_HRESULT_SUCCEEDED(point->Unadvise(cookie));
        ASSERT_HRESULT_SUCCEEDED(point->Advise(advised.Get(), &cookie));
        unadvised.Reset();
        advised.Reset();
        EXPECT_TRUE(unadvised_gone);
        EXPECT_FALSE(advised_gone);
    }
    EXPECT_TRUE(advised_gone);
}

TEST_F(EchoLinkAppTest, ConnectionPointAcceptsOnlyEventSinksAndKnownCookies) {
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(object_->FindConnectionPoint(IID_IDispatch, &point), CONNECT_E_NOCONNECTION);
    ASSERT_HRESULT_SUCCEEDED(object_->FindConnectionPoint(DIID_IEchoLinkAppEvents, &point));
    IID events{};
    point->GetConnectionInterface(&events);
    EXPECT_EQ(events, DIID_IEchoLinkAppEvents);
    ComPtr<IConnectionPointContainer> container;
    point->GetConnectionPointContainer(&container);
    EXPECT_EQ(container.Get(), static_cast<IConnectionPointContainer*>(object_.Get()));

    Trace trace;
    auto plain_dispatch = make_sink(trace, L"plain");
    plain_dispatch->implements_event_interface = false;
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(plain_dispatch.Get(), &cookie), CONNECT_E_CANNOTCONNECT);

    auto sink = make_sink(trace, L"sink");
    ASSERT_HRESULT_SUCCEEDED(point->Advise(sink.Get(), &cookie));
    EXPECT_EQ(point->Unadvise(cookie + 1), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    LONG subscribers = -1;
    control->SubscriberCount(&subscribers);
    EXPECT_EQ(subscribers, 0);
}

TEST_F(EchoLinkAppTest, IDispatchIsTheEchoLinkInterfaceAndIdentityIsOne) {
    ComPtr<IDispatch> dispatch;
    ASSERT_HRESULT_SUCCEEDED(object_.As(&dispatch));
    EXPECT_EQ(static_cast<void*>(dispatch.Get()), static_cast<void*>(app.Get()));
    ComPtr<IUnknown> from_app, from_control;
    app.As(&from_app);
    control.As(&from_control);
    EXPECT_EQ(from_app.Get(), from_control.Get());
}

// Late binding goes through each interface's own type information.
TEST_F(EchoLinkAppTest, LateBoundCallsReachTheirOwnInterface) {
    auto dispid = [](IDispatch* dispatch, const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_HRESULT_SUCCEEDED(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
        return id;
    };
    IDispatch* echolink = app.Get();
    IDispatch* stand_in = control.Get();
    EXPECT_EQ(dispid(echolink, L"IsConnected"), 13);
    EXPECT_EQ(dispid(stand_in, L"SubscriberCount"), 11);

    app->Connect(Bstr(L"PU2ABC").get(), VARIANT_TRUE);
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(L"PU2ABC");
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_HRESULT_SUCCEEDED(echolink->Invoke(13, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                              &result, nullptr, nullptr));
    VariantClear(&argument);
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_TRUE);

    DISPPARAMS none{};
    ASSERT_HRESULT_SUCCEEDED(stand_in->Invoke(11, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                                              &result, nullptr, nullptr));
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 0);
}

TEST_F(EchoLinkAppTest, TimedCallLogIsTheCallLogWithTheMomentOfEachCall) {
    const auto now = [] {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    };
    const long long before = now();
    app->Connect(Bstr(L"PU2ABC").get(), VARIANT_TRUE);
    Sleep(100);
    app->DisconnectAll();
    const long long after = now();
    Bstr timed;
    control->TimedCallLog(timed.out());
    std::wistringstream lines(timed.text());
    long long first = 0, second = 0;
    std::wstring first_call, second_call, rest;
    lines >> first >> first_call >> second >> second_call >> rest;
    EXPECT_EQ(first_call, L"Connect(\"PU2ABC\",-1)");
    EXPECT_EQ(second_call, L"DisconnectAll()");
    EXPECT_EQ(rest, L"");
    EXPECT_LE(before, first);
    EXPECT_GE(second - first, 90);  // the sleep is coarse; the clock is not
    EXPECT_LE(second, after);

    control->ClearCallLog();
    control->TimedCallLog(timed.out());
    EXPECT_EQ(timed.text(), L"");
}

TEST_F(EchoLinkAppTest, HeldAdviseAnswersOnlyAfterItsHoldAndOnlyTheNextOne) {
    ComPtr<IConnectionPoint> point;
    ASSERT_HRESULT_SUCCEEDED(object_->FindConnectionPoint(DIID_IEchoLinkAppEvents, &point));
    EXPECT_EQ(control->HoldNextAdvise(-1), E_INVALIDARG);
    control->HoldNextAdvise(300);
    DWORD cookie = 0;
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);  // held even so
    EXPECT_GE(GetTickCount64() - start, 250u);
    start = GetTickCount64();
    point->Advise(nullptr, &cookie);
    EXPECT_LT(GetTickCount64() - start, 200u);
}

}  // namespace
}  // namespace standin
