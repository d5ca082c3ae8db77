#include "echolink/com_echolink_win.h"

#include <oleauto.h>

#include <cstdio>
#include <optional>
#include <string>

#include "echolink/busy.h"
#include "winlib/answering_wait_win.h"
#include "winlib/com_win.h"
#include "winlib/trace_win.h"
#include "winlib/unique_win.h"

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
    link->sink_ = adopt(new ClosingSink([link = link.get(), on_closing = std::move(on_closing)] {
        link->closed_ = true;
        on_closing();
    }));
    check("create", link->events_->Advise(link->sink_.Get(), &link->cookie_));
    return link;
}

ComEchoLink::~ComEchoLink() {
    if (sink_) sink_->disarm();
    if (cookie_) traced("EchoLink Unadvise, the subscription is left to COM", events_->Unadvise(cookie_));
}

// On Windows the message filter (busy_message_filter_win.h) has COM try a busy call again itself, and the
// call returns once its time is up; Wine never asks the filter and answers at once, so here the result
// is tried again, within the same time from the first attempt.
template <class Attempt>
void ComEchoLink::call(const char* operation, Attempt attempt) {
    const ULONGLONG started = GetTickCount64();
    for (;;) {
        const HRESULT status = attempt();
        const std::optional<unsigned> wait =
            closed_ ? std::nullopt
                    : retry_busy_call_after(status, static_cast<unsigned>(GetTickCount64() - started));
        if (!wait) return check(operation, status);
        wait_answering(*wait);
    }
}

void ComEchoLink::Connect(std::wstring_view callsign, bool flag) {
    const UniqueBstr station = make_bstr(callsign);
    call("Connect", [&] { return object_->Connect(station.get(), flag ? VARIANT_TRUE : VARIANT_FALSE); });
}

void ComEchoLink::Disconnect(std::wstring_view callsign) {
    const UniqueBstr station = make_bstr(callsign);
    call("Disconnect", [&] { return object_->Disconnect(station.get()); });
}

void ComEchoLink::DisconnectAll() {
    call("DisconnectAll", [&] { return object_->DisconnectAll(); });
}

bool ComEchoLink::IsConnected(std::wstring_view callsign) {
    const UniqueBstr station = make_bstr(callsign);
    VARIANT_BOOL connected = VARIANT_FALSE;
    call("IsConnected", [&] { return object_->IsConnected(station.get(), &connected); });
    return connected != VARIANT_FALSE;
}

}  // namespace relinka
