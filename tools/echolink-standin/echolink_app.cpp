#include "echolink_app.h"

#include <utility>

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
    ComPtr<ITypeInfo> echoLinkInfo;
    ComPtr<ITypeInfo> controlInfo;
    HRESULT hr = loadTypeInfo(TypeLibrary::EchoLink, IID_IEchoLinkApp, &echoLinkInfo);
    if (SUCCEEDED(hr)) hr = loadTypeInfo(TypeLibrary::Control, IID_IStandInControl, &controlInfo);
    if (FAILED(hr)) return hr;
    return com_barrier([&] {
        // Attach: the new object's first reference is the one handed out.
        out.Attach(new EchoLinkApp(std::move(echoLinkInfo), std::move(controlInfo), lifetime));
        return S_OK;
    });
}

EchoLinkApp::EchoLinkApp(ComPtr<ITypeInfo> echoLinkInfo, ComPtr<ITypeInfo> controlInfo,
                         ServerLifetime* lifetime)
    : DualDispatch<IEchoLinkApp>(std::move(echoLinkInfo)),
      DualDispatch<IStandInControl>(std::move(controlInfo)),
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
    if (answerDelayMs_ > 0) Sleep(answerDelayMs_);
    if (std::exchange(closingDuringNextCall_, false)) closing_.raise();
    return failure_;
}

HRESULT EchoLinkApp::Version(BSTR* version) {
    if (!version) return E_POINTER;
    *version = nullptr;
    return com_barrier([&] {
        const HRESULT hr = answer(L"Version", {});
        return hr != S_OK ? hr : copyToBstr(L"1.8 (substituto)", version);
    });
}

HRESULT EchoLinkApp::Connect(BSTR callsign, VARIANT_BOOL flag) {
    return com_barrier([&] {
        const std::wstring station(textOf(callsign));
        const HRESULT hr = answer(L"Connect", {quoted(station), std::to_wstring(flag)});
        if (hr == S_OK) stations_.connect(station, Clock::now());
        return hr;
    });
}

HRESULT EchoLinkApp::Disconnect(BSTR callsign) {
    return com_barrier([&] {
        const std::wstring station(textOf(callsign));
        const HRESULT hr = answer(L"Disconnect", {quoted(station)});
        if (hr == S_OK) stations_.drop(station);
        return hr;
    });
}

HRESULT EchoLinkApp::DisconnectAll() {
    return com_barrier([&] {
        const HRESULT hr = answer(L"DisconnectAll", {});
        if (hr == S_OK) stations_.dropAll();
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
        return copyToBstr(established[index], callsign);
    });
}

HRESULT EchoLinkApp::SendText(BSTR text) {
    return com_barrier([&] { return answer(L"SendText", {quoted(textOf(text))}); });
}

HRESULT EchoLinkApp::Callsign(BSTR* callsign) {
    if (!callsign) return E_POINTER;
    *callsign = nullptr;
    return com_barrier([&] {
        const HRESULT hr = answer(L"Callsign", {});
        return hr != S_OK ? hr : copyToBstr(kOwnCallsign, callsign);
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
        return hr != S_OK ? hr : copyToBstr(L"Pronto", status);
    });
}

HRESULT EchoLinkApp::IsConnected(BSTR callsign, VARIANT_BOOL* connected) {
    if (!connected) return E_POINTER;
    *connected = VARIANT_FALSE;
    return com_barrier([&] {
        const std::wstring station(textOf(callsign));
        const HRESULT hr = answer(L"IsConnected", {quoted(station)});
        if (hr == S_OK && stations_.isConnected(station, Clock::now())) *connected = VARIANT_TRUE;
        return hr;
    });
}

HRESULT EchoLinkApp::SetConnectDelay(LONG milliseconds) {
    if (milliseconds < 0) return E_INVALIDARG;
    stations_.setConnectDelay(std::chrono::milliseconds(milliseconds));
    return S_OK;
}

HRESULT EchoLinkApp::SetAnswerDelay(LONG milliseconds) {
    if (milliseconds < 0) return E_INVALIDARG;
    answerDelayMs_ = static_cast<DWORD>(milliseconds);
    return S_OK;
}

HRESULT EchoLinkApp::DropLink(BSTR callsign) {
    return com_barrier([&] {
        stations_.drop(std::wstring(textOf(callsign)));
        return S_OK;
    });
}

HRESULT EchoLinkApp::RefuseCallsign(BSTR callsign) {
    return com_barrier([&] {
        stations_.refuse(std::wstring(textOf(callsign)));
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
    closingDuringNextCall_ = true;
    return S_OK;
}

HRESULT EchoLinkApp::CallLog(BSTR* log) {
    if (!log) return E_POINTER;
    return copyToBstr(log_.text(), log);
}

HRESULT EchoLinkApp::ClearCallLog() {
    log_.clear();
    return S_OK;
}

HRESULT EchoLinkApp::Connections(BSTR* callsigns) {
    if (!callsigns) return E_POINTER;
    *callsigns = nullptr;
    return com_barrier([&] { return copyToBstr(lines(stations_.established(Clock::now())), callsigns); });
}

HRESULT EchoLinkApp::SubscriberCount(LONG* count) {
    if (!count) return E_POINTER;
    *count = closing_.subscriberCount();
    return S_OK;
}

HRESULT EchoLinkApp::RaiseClosingDuringNextAdvise() {
    closing_.raiseDuringNextAdvise();
    return S_OK;
}

HRESULT EchoLinkApp::TimedCallLog(BSTR* log) {
    if (!log) return E_POINTER;
    return copyToBstr(log_.timed_text(), log);
}

HRESULT EchoLinkApp::HoldNextAdvise(LONG milliseconds) {
    if (milliseconds < 0) return E_INVALIDARG;
    closing_.hold_next_advise(static_cast<DWORD>(milliseconds));
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
