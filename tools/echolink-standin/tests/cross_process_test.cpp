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
DWORD runServer(const wchar_t* option) {
    std::wstring path = ownModulePath();
    path.resize(path.find_last_of(L'\\') + 1);
    std::wstring commandLine = L'"' + path + kServerName + L"\" " + option;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return GetLastError() | 0x80000000;
    WaitForSingleObject(process.hProcess, 30'000);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

bool serverRunning() {
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

bool serverEndsWithin(DWORD milliseconds) {
    for (DWORD waited = 0; serverRunning(); waited += 100) {
        if (waited >= milliseconds) return false;
        Sleep(100);
    }
    return true;
}

HRESULT createEchoLink(ComPtr<IEchoLinkApp>& app) {
    return CoCreateInstance(CLSID_EchoLinkApp, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&app));
}

class CrossProcessTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(runServer(L"/regserver"), 0u); }

    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(apartment_.result());
        ASSERT_HRESULT_SUCCEEDED(createEchoLink(app));
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
    ASSERT_HRESULT_SUCCEEDED(createEchoLink(other));
    app->Connect(Bstr(L"PU2ABC").get(), VARIANT_TRUE);
    VARIANT_BOOL connected = VARIANT_FALSE;
    ASSERT_HRESULT_SUCCEEDED(other->IsConnected(Bstr(L"PU2ABC").get(), &connected));
    EXPECT_EQ(connected, VARIANT_TRUE);
}

TEST_F(CrossProcessTest, CallsAndStatusesCrossAsSent) {
    app->Connect(Bstr(L" pu2çã ").get(), VARIANT_TRUE);
    const HRESULT serverGone = HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    control->FailCalls(serverGone);
    VARIANT_BOOL connected = VARIANT_TRUE;
    EXPECT_EQ(app->IsConnected(Bstr(L" pu2çã ").get(), &connected), serverGone);
    control->FailCalls(S_OK);
    Bstr log;
    control->CallLog(log.out());
    EXPECT_EQ(log.text(), L"Connect(\" pu2çã \",-1)\nIsConnected(\" pu2çã \")\n");
}

TEST_F(CrossProcessTest, ClosingReachesASinkInThisProcess) {
    Trace trace;
    auto sink = makeSink(trace, L"sink");
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
    ASSERT_EQ(runServer(L"/regserver"), 0u);
    {
        ComPtr<IEchoLinkApp> app;
        ASSERT_HRESULT_SUCCEEDED(createEchoLink(app));
        EXPECT_TRUE(serverRunning());
    }
    EXPECT_TRUE(serverEndsWithin(5000));

    EXPECT_EQ(runServer(L"/unregserver"), 0u);
    ComPtr<IEchoLinkApp> app;
    EXPECT_EQ(createEchoLink(app), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(runServer(L"/unregserver"), 0u);  // nothing left to remove is no failure
    EXPECT_EQ(runServer(L"/regserver"), 0u);
}

}  // namespace
}  // namespace standin
