#pragma once
// The one EchoLink "application" of this process, shared by every client: EchoLink's automation
// interface, the test-only control interface, and the Closing event.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <string_view>
#include <vector>

#include "call_log.h"
#include "closing_event.h"
#include "com_support.h"
#include "dual_dispatch.h"
#include "standin_control.h"
#include "station_table.h"

namespace standin {

class ServerLifetime;

class EchoLinkApp final : public DualDispatch<IEchoLinkApp>,
                          public DualDispatch<IStandInControl>,
                          public IConnectionPointContainer,
                          public IExternalConnection {
public:
    // lifetime may be null (an object held in-process): then outside connections keep nothing alive.
    static HRESULT create(ServerLifetime* lifetime, ComPtr<EchoLinkApp>& out) noexcept;

    // For the stand-in's own window; none of these is logged.
    std::vector<Station> stations() const { return stations_.stations(Clock::now()); }
    void drop_link(const std::wstring& callsign) { stations_.drop(callsign); }
    void raise_closing() noexcept { closing_.raise(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IEchoLinkApp
    HRESULT STDMETHODCALLTYPE Version(BSTR* version) override;
    HRESULT STDMETHODCALLTYPE Connect(BSTR callsign, VARIANT_BOOL flag) override;
    HRESULT STDMETHODCALLTYPE Disconnect(BSTR callsign) override;
    HRESULT STDMETHODCALLTYPE DisconnectAll() override;
    HRESULT STDMETHODCALLTYPE Transmit(VARIANT_BOOL on) override;
    HRESULT STDMETHODCALLTYPE ConnectionCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE ConnectionAt(LONG index, BSTR* callsign) override;
    HRESULT STDMETHODCALLTYPE SendText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE Callsign(BSTR* callsign) override;
    HRESULT STDMETHODCALLTYPE IsTransmitting(VARIANT_BOOL* on) override;
    HRESULT STDMETHODCALLTYPE Mute(VARIANT_BOOL on) override;
    HRESULT STDMETHODCALLTYPE Status(BSTR* status) override;
    HRESULT STDMETHODCALLTYPE IsConnected(BSTR callsign, VARIANT_BOOL* connected) override;

    // IStandInControl
    HRESULT STDMETHODCALLTYPE SetConnectDelay(LONG milliseconds) override;
    HRESULT STDMETHODCALLTYPE SetAnswerDelay(LONG milliseconds) override;
    HRESULT STDMETHODCALLTYPE DropLink(BSTR callsign) override;
    HRESULT STDMETHODCALLTYPE RefuseCallsign(BSTR callsign) override;
    HRESULT STDMETHODCALLTYPE FailCalls(LONG status) override;
    HRESULT STDMETHODCALLTYPE RaiseClosing() override;
    HRESULT STDMETHODCALLTYPE RaiseClosingDuringNextCall() override;
    HRESULT STDMETHODCALLTYPE CallLog(BSTR* log) override;
    HRESULT STDMETHODCALLTYPE ClearCallLog() override;
    HRESULT STDMETHODCALLTYPE Connections(BSTR* callsigns) override;
    HRESULT STDMETHODCALLTYPE SubscriberCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE RaiseClosingDuringNextAdvise() override;
    HRESULT STDMETHODCALLTYPE TimedCallLog(BSTR* log) override;
    HRESULT STDMETHODCALLTYPE HoldNextAdvise(LONG milliseconds) override;
    HRESULT STDMETHODCALLTYPE RaiseEvent(LONG dispid) override;
    HRESULT STDMETHODCALLTYPE BeBusy(LONG milliseconds) override;
    HRESULT STDMETHODCALLTYPE ClickDuringNextCall(LONG window) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // IExternalConnection: COM tells us when the first outside client arrives and the last leaves.
    DWORD STDMETHODCALLTYPE AddConnection(DWORD type, DWORD reserved) override;
    DWORD STDMETHODCALLTYPE ReleaseConnection(DWORD type, DWORD reserved, BOOL last_release_closes) override;

private:
    EchoLinkApp(ComPtr<ITypeInfo> echolink_info, ComPtr<ITypeInfo> control_info, ServerLifetime* lifetime);
    ~EchoLinkApp() = default;

    // What every EchoLink call does before its own work: log, wait, press a requested button, raise a
    // requested Closing, then answer the failure status if one is set.
    HRESULT answer(std::wstring_view method, std::initializer_list<std::wstring> arguments);

    LONG references_ = 1;
    ServerLifetime* lifetime_;
    StationTable stations_;
    standin::CallLog log_;
    ClosingEvent closing_{*this};
    DWORD answer_delay_ms_ = 0;
    HRESULT failure_ = S_OK;
    bool closing_during_next_call_ = false;
    HWND click_during_next_call_ = nullptr;
    VARIANT_BOOL transmitting_ = VARIANT_FALSE;
};

}  // namespace standin
