#include "closing_event.h"

#include <cguid.h>

#include <utility>
#include <vector>

#include "echolink.h"

namespace standin {

HRESULT ClosingEvent::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ClosingEvent::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID_IEchoLinkAppEvents;
    return S_OK;
}

HRESULT ClosingEvent::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = &container_;
    container_.AddRef();
    return S_OK;
}

HRESULT ClosingEvent::Advise(IUnknown* sink, DWORD* cookie) {
    // Sleep, not a wait that answers: a frozen EchoLink takes no call, not even a control call.
    if (const DWORD hold = std::exchange(next_advise_hold_, 0)) Sleep(hold);

    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    return com_barrier([&] {
        // The sink must implement the event interface itself, as a connection point requires.
        ComPtr<IDispatch> events;
        if (FAILED(sink->QueryInterface(DIID_IEchoLinkAppEvents, &events))) return CONNECT_E_CANNOTCONNECT;
        sinks_.emplace(++last_cookie_, std::move(events));
        *cookie = last_cookie_;
        if (std::exchange(raise_during_next_advise_, false)) raise();
        return S_OK;
    });
}

HRESULT ClosingEvent::Unadvise(DWORD cookie) { return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION; }

HRESULT ClosingEvent::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void ClosingEvent::raise(DISPID dispid) noexcept {
    try {
        // A subscriber may unadvise, or another may join, while we wait for its answer: work on a copy.
        std::vector<ComPtr<IDispatch>> subscribers;
        for (const auto& [cookie, sink] : sinks_) subscribers.push_back(sink);
        for (const auto& sink : subscribers) {
            DISPPARAMS none{};
            sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr,
                         nullptr);
        }
    } catch (const std::bad_alloc&) {
        // Out of memory for the copy: nobody is told, as if EchoLink had crashed.
    }
}

}  // namespace standin
