#include "echolink/com_echolink_win.h"

#include <oleauto.h>

#include <cstdio>
#include <string>

#include "win32/com_win.h"
#include "win32/trace_win.h"
#include "win32/unique_win.h"

namespace relinka {

namespace {

UniqueBstr make_bstr(std::wstring_view text) {
    UniqueBstr bstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    if (!bstr) {
        trace_failure("EchoLink call: no memory for its callsign", E_OUTOFMEMORY);
        throw EchoLinkError("call", E_OUTOFMEMORY);
    }
    return bstr;
}

// Every failed call leaves its trace, whether the handler then skips it or reports it.
void check(const char* operation, HRESULT status) {
    if (FAILED(status)) {
        char where[64];
        std::snprintf(where, sizeof where, "EchoLink %s", operation);
        trace_failure(where, status);
        throw EchoLinkError(operation, status);
    }
}

}  // namespace

std::unique_ptr<ComEchoLink> ComEchoLink::create(std::function<void()> on_closing) {
    std::unique_ptr<ComEchoLink> link(new ComEchoLink);
    check("create", CoCreateInstance(kEchoLinkClass, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&link->object_)));
    Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
    check("create", link->object_.As(&container));
    check("create", container->FindConnectionPoint(kEchoLinkEvents, &link->events_));
    link->sink_ = adopt(new ClosingSink(std::move(on_closing)));
    check("create", link->events_->Advise(link->sink_.Get(), &link->cookie_));
    return link;
}

ComEchoLink::~ComEchoLink() {
    if (sink_) sink_->disarm();
    if (cookie_) traced("EchoLink Unadvise, the subscription is left to COM", events_->Unadvise(cookie_));
}

void ComEchoLink::Connect(std::wstring_view callsign, bool flag) {
    check("Connect", object_->Connect(make_bstr(callsign).get(), flag ? VARIANT_TRUE : VARIANT_FALSE));
}

void ComEchoLink::Disconnect(std::wstring_view callsign) {
    check("Disconnect", object_->Disconnect(make_bstr(callsign).get()));
}

void ComEchoLink::DisconnectAll() { check("DisconnectAll", object_->DisconnectAll()); }

bool ComEchoLink::IsConnected(std::wstring_view callsign) {
    VARIANT_BOOL connected = VARIANT_FALSE;
    check("IsConnected", object_->IsConnected(make_bstr(callsign).get(), &connected));
    return connected != VARIANT_FALSE;
}

}  // namespace relinka
