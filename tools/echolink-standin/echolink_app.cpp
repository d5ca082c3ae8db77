#include "echolink_app.h"

#include <utility>

#include "busy_filter.h"
#include "server_lifetime.h"
#include "type_libraries.h"

namespace standin {

namespace {

// Our own station, as EchoLink would report it.
constexpr std::wstring_view kOwnCallsign = L"N0CALL";

std::wstring lines(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const auto& item : items) text += item + L'\n';
    return text;
}

}  // namespace

HRESULT EchoLinkApp::create(ServerLifetime* lifetime, ComPtr<EchoLinkApp>& out) noexcept {
    ComPtr<ITypeInfo> echolink_info;
    ComPtr<ITypeInfo> control_info;
    HRESULT hr = load_type_info(TypeLibrary::EchoLink, IID_IEchoLinkApp, &echolink_info);
    if (SUCCEEDED(hr)) hr = load_type_info(TypeLibrary::Control, IID_IStandInControl, &control_info);
    if (FAILED(hr)) return hr;
    return com_barrier([&] {
        // The new object's first reference is the one handed out.
        out = adopt(new EchoLinkApp(std::move(echolink_info), std::move(control_info), lifetime));
        return S_OK;
    });
}

EchoLinkApp::EchoLinkApp(ComPtr<ITypeInfo> echolink_info, ComPtr<ITypeInfo> control_info,
                         ServerLifetime* lifetime)
    : DualDispatch<IEchoLinkApp>(std::move(echolink_info)),
      DualDispatch<IStandInControl>(std::move(control_info)),
      lifetime_(lifetime) {}

HRESULT EchoLinkApp::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IEchoLinkApp)
        *object = static_cast<IEchoLinkApp*>(this);
    else if (iid == IID_IStandInControl)
        *object = static_cast<IStandInControl*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IExternalConnection)
        *object = static_cast<IExternalConnection*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG EchoLinkApp::AddRef() { return InterlockedIncrement(&references_); }

ULONG EchoLinkApp::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
}

HRESULT EchoLinkApp::answer(std::wstring_view method, std::initializer_list<std::wstring> arguments) {
    log_.record(method, arguments);
    if (answer_delay_ms_ > 0) Sleep(answer_delay_ms_);
    if (const HWND button = std::exchange(click_during_next_call_, nullptr)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
    }
    if (std::exchange(closing_during_next_call_, false)) closing_.raise();
    return failure_;
}

HRESULT EchoLinkApp::Version(BSTR* version) {
    if (!version) return E_POINTER;
    *version = nullptr;
    return com_barrier([&] {
        const HRESULT hr = answer(L"Version", {});
        return hr != S_OK ? hr : copy_to_bstr(L"1.8 (substituto)", version);
    });
}

HRESULT EchoLinkApp::Connect(BSTR callsign, VARIANT_BOOL flag) {
    return com_barrier([&] {
        const std::wstring station(text_of(callsign));
        const HRESULT hr = answer(L"Connect", {quoted(station), std::to_wstring(flag)});
        if (hr == S_OK) stations_.connect(station, Clock::now());
        return hr;
    });
}

HRESULT EchoLinkApp::Disconnect(BSTR callsign) {
    return com_barrier([&] {
        const std::wstring station(text_of(callsign));
        const HRESULT hr = answer(L"Disconnect", {quoted(station)});
        if (hr == S_OK) stations_.drop(station);
        return hr;
    });
}

HRESULT EchoLinkApp::DisconnectAll() {
    return com_barrier([&] {
        const HRESULT hr = answer(L"DisconnectAll", {});
        if (hr == S_OK) stations_.drop_all();
        return hr;
    });
}

HRESULT EchoLinkApp::Transmit(VARIANT_BOOL on) {
    return com_barrier([&] {
        const HRESULT hr = answer(L"Transmit", {std::to_wstring(on)});
        if (hr == S_OK) transmitting_ = on ? VARIANT_TRUE : VARIANT_FALSE;
        return hr;
    });
}

HRESULT EchoLinkApp::ConnectionCount(LONG* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return com_barrier([&] {
        const HRESULT hr = answer(L"ConnectionCount", {});
        if (hr == S_OK) *count = static_cast<LONG>(stations_.established(Clock::now()).size());
        return hr;
    });
}

HRESULT EchoLinkApp::ConnectionAt(LONG index, BSTR* callsign) {
    if (!callsign) return E_POINTER;
    *callsign = nullptr;
    return com_barrier([&] {
        const HRESULT hr = answer(L"ConnectionAt", {std::to_wstring(index)});
        if (hr != S_OK) return hr;
        const auto established = stations_.established(Clock::now());
        if (index < 0 || static_cast<size_t>(index) >= established.size()) return E_INVALIDARG;
        return copy_to_bstr(established[index], callsign);
    });
}

HRESULT EchoLinkApp::SendText(BSTR text) {
    return com_barrier([&] { return answer(L"SendText", {quoted(text_of(text))}); });
}

HRESULT EchoLinkApp::Callsign(BSTR* callsign) {
    if (!callsign) return E_POINTER;
    *callsign = nullptr;
    return com_barrier([&] {
        const HRESULT hr = answer(L"Callsign", {});
        return hr != S_OK ? hr : copy_to_bstr(kOwnCallsign, callsign);
    });
}

HRESULT EchoLinkApp::IsTransmitting(VARIANT_BOOL* on) {
    if (!on) return E_POINTER;
    *on = VARIANT_FALSE;
    return com_barrier([&] {
        const HRESULT hr = answer(L"IsTransmitting", {});
        if (hr == S_OK) *on = transmitting_;
        return hr;
    });
}

HRESULT EchoLinkApp::Mute(VARIANT_BOOL on) {
    return com_barrier([&] { return answer(L"Mute", {std::to_wstring(on)}); });
}

HRESULT EchoLinkApp::Status(BSTR* status) {
    if (!status) return E_POINTER;
    *status = nullptr;
    return com_barrier([&] {
        const HRESULT hr = answer(L"Status", {});
        return hr != S_OK ? hr : copy_to_bstr(L"Pronto", status);
    });
}

HRESULT EchoLinkApp::IsConnected(BSTR callsign, VARIANT_BOOL* connected) {
    if (!connected) return E_POINTER;
    *connected = VARIANT_FALSE;
    return com_barrier([&] {
        const std::wstring station(text_of(callsign));
        const HRESULT hr = answer(L"IsConnected", {quoted(station)});
        if (hr == S_OK && stations_.is_connected(station, Clock::now())) *connected = VARIANT_TRUE;
        return hr;
    });
}

HRESULT EchoLinkApp::SetConnectDelay(LONG milliseconds) {
    if (milliseconds < 0) return E_INVALIDARG;
    stations_.set_connect_delay(std::chrono::milliseconds(milliseconds));
    return S_OK;
}

HRESULT EchoLinkApp::SetAnswerDelay(LONG milliseconds) {
    if (milliseconds < 0) return E_INVALIDARG;
    answer_delay_ms_ = static_cast<DWORD>(milliseconds);
    return S_OK;
}

HRESULT EchoLinkApp::DropLink(BSTR callsign) {
    return com_barrier([&] {
        stations_.drop(std::wstring(text_of(callsign)));
        return S_OK;
    });
}

HRESULT EchoLinkApp::RefuseCallsign(BSTR callsign) {
    return com_barrier([&] {
        stations_.refuse(std::wstring(text_of(callsign)));
        return S_OK;
    });
}

HRESULT EchoLinkApp::FailCalls(LONG status) {
    failure_ = status;
    return S_OK;
}

HRESULT EchoLinkApp::RaiseClosing() {
    closing_.raise();
    return S_OK;
}

HRESULT EchoLinkApp::RaiseClosingDuringNextCall() {
    closing_during_next_call_ = true;
    return S_OK;
}

HRESULT EchoLinkApp::CallLog(BSTR* log) {
    if (!log) return E_POINTER;
    return copy_to_bstr(log_.text(), log);
}

HRESULT EchoLinkApp::ClearCallLog() {
    log_.clear();
    return S_OK;
}

HRESULT EchoLinkApp::Connections(BSTR* callsigns) {
    if (!callsigns) return E_POINTER;
    *callsigns = nullptr;
    return com_barrier([&] { return copy_to_bstr(lines(stations_.established(Clock::now())), callsigns); });
}

HRESULT EchoLinkApp::SubscriberCount(LONG* count) {
    if (!count) return E_POINTER;
    *count = closing_.subscriber_count();
    return S_OK;
}

HRESULT EchoLinkApp::RaiseClosingDuringNextAdvise() {
    closing_.raise_during_next_advise();
    return S_OK;
}

HRESULT EchoLinkApp::TimedCallLog(BSTR* log) {
    if (!log) return E_POINTER;
    return copy_to_bstr(log_.timed_text(), log);
}

HRESULT EchoLinkApp::HoldNextAdvise(LONG milliseconds) {
    if (milliseconds < 0) return E_INVALIDARG;
    closing_.hold_next_advise(static_cast<DWORD>(milliseconds));
    return S_OK;
}

HRESULT EchoLinkApp::RaiseEvent(LONG dispid) {
    closing_.raise(dispid);
    return S_OK;
}

HRESULT EchoLinkApp::BeBusy(LONG milliseconds) {
    if (milliseconds < 0) return E_INVALIDARG;
    be_busy_for(static_cast<DWORD>(milliseconds));
    return S_OK;
}

HRESULT EchoLinkApp::ClickDuringNextCall(LONG window) {
    click_during_next_call_ = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
    return S_OK;
}

HRESULT EchoLinkApp::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT EchoLinkApp::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != DIID_IEchoLinkAppEvents) return CONNECT_E_NOCONNECTION;
    *out = &closing_;
    closing_.AddRef();
    return S_OK;
}

DWORD EchoLinkApp::AddConnection(DWORD type, DWORD) {
    if ((type & EXTCONN_STRONG) && lifetime_) lifetime_->lock();
    return 0;
}

DWORD EchoLinkApp::ReleaseConnection(DWORD type, DWORD, BOOL) {
    if ((type & EXTCONN_STRONG) && lifetime_) lifetime_->unlock();
    return 0;
}

}  // namespace standin
