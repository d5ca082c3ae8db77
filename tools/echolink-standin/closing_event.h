#pragma once
// The connection point of EchoLink's event interface. Subscribers are IDispatch sinks; the only event
// the stand-in raises is Closing.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>

#include "com_support.h"

namespace standin {

class ClosingEvent final : public IConnectionPoint {
public:
    static constexpr DISPID kClosing = 1;  // the first event of IEchoLinkAppEvents

    // Lives inside its container and shares its reference count.
    explicit ClosingEvent(IConnectionPointContainer& container) : container_(container) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return container_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return container_.Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;
    // The next Advise first holds the thread this long, answering nothing meanwhile.
    void hold_next_advise(DWORD milliseconds) noexcept { next_advise_hold_ = milliseconds; }

    // Calls every subscriber's Closing (or the event `dispid`) in turn, synchronously; a subscriber's
    // failure does not stop the others.
    void raise(DISPID dispid = kClosing) noexcept;
    // The next Advise raises Closing, the new subscriber included, before it answers.
    void raise_during_next_advise() noexcept { raise_during_next_advise_ = true; }
    long subscriber_count() const noexcept { return static_cast<long>(sinks_.size()); }

private:
    IConnectionPointContainer& container_;
    DWORD next_advise_hold_ = 0;  // ms
    std::map<DWORD, ComPtr<IDispatch>> sinks_;
    DWORD last_cookie_ = 0;
    bool raise_during_next_advise_ = false;
};

}  // namespace standin
