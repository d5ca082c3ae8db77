// The server as clients meet it: registered from the command line, started by COM, one object for
// every client, calls and events carried between processes by the type libraries.
#include <windows.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include "test_support.h"
#include "type_libraries.h"

namespace standin {
namespace {

constexpr wchar_t kServerName[] = L"echolink-standin.exe";

// The build puts the server beside the tests.
DWORD run_server(const wchar_t* option) {
    std::wstring path = own_module_path();
    path.resize(path.find_last_of(L'\\') + 1);
    std::wstring command_line = L'"' + path + kServerName + L"\" " + option;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return GetLastError() | 0x80000000;
    WaitForSingleObject(process.hProcess, 30'000);
    DWORD exit_code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exit_code;
}

bool server_running() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry))
        found = lstrcmpiW(entry.szExeFile, kServerName) == 0;
    CloseHandle(snapshot);
    return found;
}

bool server_ends_within(DWORD milliseconds) {
    for (DWORD waited = 0; server_running(); waited += 100) {
        if (waited >= milliseconds) return false;
        Sleep(100);
    }
    return true;
}

HRESULT create_echolink(ComPtr<IEchoLinkApp>& app) {
    return CoCreateInstance(CLSID_EchoLinkApp, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&app));
}

class CrossProcessTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(run_server(L"/regserver"), 0u); }

    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(apartment_.result());
        ASSERT_HRESULT_SUCCEEDED(create_echolink(app));
        ASSERT_HRESULT_SUCCEEDED(app.As(&control));
        control->ClearCallLog();
        control->SetConnectDelay(0);
        control->FailCalls(S_OK);
        app->DisconnectAll();
        control->ClearCallLog();
    }

    ComApartment apartment_;
    ComPtr<IEchoLinkApp> app;
    ComPtr<IStandInControl> control;
};

TEST_F(CrossProcessTest, EveryClientGetsTheSameEchoLink) {
    ComPtr<IEchoLinkApp> other;
    ASSERT_HRESULT_SUCCEEDED(create_echolink(other));
    app->Connect(Bstr(L"PU2ABC").get(), VARIANT_TRUE);
    VARIANT_BOOL connected = VARIANT_FALSE;
    ASSERT_HRESULT_SUCCEEDED(other->IsConnected(Bstr(L"PU2ABC").get(), &connected));
    EXPECT_EQ(connected, VARIANT_TRUE);
}

TEST_F(CrossProcessTest, CallsAndStatusesCrossAsSent) {
    app->Connect(Bstr(L" pu2çã ").get(), VARIANT_TRUE);
    const HRESULT server_gone = HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    control->FailCalls(server_gone);
    VARIANT_BOOL connected = VARIANT_TRUE;
    EXPECT_EQ(app->IsConnected(Bstr(L" pu2çã ").get(), &connected), server_gone);
    control->FailCalls(S_OK);
    Bstr log;
    control->CallLog(log.out());
    EXPECT_EQ(log.text(), L"Connect(\" pu2çã \",-1)\nIsConnected(\" pu2çã \")\n");
}

TEST_F(CrossProcessTest, ClosingReachesASinkInThisProcess) {
    Trace trace;
    auto sink = make_sink(trace, L"sink");
    ComPtr<IConnectionPointContainer> container;
    ASSERT_HRESULT_SUCCEEDED(app.As(&container));
    ComPtr<IConnectionPoint> point;
    ASSERT_HRESULT_SUCCEEDED(container->FindConnectionPoint(DIID_IEchoLinkAppEvents, &point));
    DWORD cookie = 0;
    ASSERT_HRESULT_SUCCEEDED(point->Advise(sink.Get(), &cookie));

    control->RaiseClosing();
    control->RaiseClosingDuringNextCall();
    VARIANT_BOOL connected;
    app->IsConnected(Bstr(L"PU2ABC").get(), &connected);
    trace.push_back(L"answered");
    EXPECT_EQ(trace, (Trace{L"sink 1", L"sink 1", L"answered"}));
    EXPECT_HRESULT_SUCCEEDED(point->Unadvise(cookie));
}

TEST(CrossProcess, ServerEndsWhenTheLastClientLetsGoAndUnregistersCleanly) {
    ComApartment apartment;
    ASSERT_EQ(run_server(L"/regserver"), 0u);
    {
        ComPtr<IEchoLinkApp> app;
        ASSERT_HRESULT_SUCCEEDED(create_echolink(app));
        EXPECT_TRUE(server_running());
    }
    EXPECT_TRUE(server_ends_within(5000));

    EXPECT_EQ(run_server(L"/unregserver"), 0u);
    ComPtr<IEchoLinkApp> app;
    EXPECT_EQ(create_echolink(app), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(run_server(L"/unregserver"), 0u);  // nothing left to remove is no failure
    EXPECT_EQ(run_server(L"/regserver"), 0u);
}

}  // namespace
}  // namespace standin
