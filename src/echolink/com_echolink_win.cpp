#include "echolink/com_echolink_win.h"

#include <oleauto.h>

#include <atomic>
#include <string>

#include "win32/unique_win.h"

namespace relinka {

using Microsoft::WRL::ComPtr;

namespace {

// IDispatch's own seven methods come first in the table.
constexpr int kDispatchMethods = 7;
// Positions of the operations among the default interface's own methods.
constexpr int kConnect = 2, kDisconnect = 3, kDisconnectAll = 4, kIsConnected = 13;

// Where the type library cannot be read (not registered on this machine), Closing is taken to carry
// dispatch id 1: automation type libraries number their events from 1, and Closing is the first.
constexpr DISPID kAssumedClosingDispid = 1;

UniqueBstr make_bstr(std::wstring_view text) {
    UniqueBstr bstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    if (!bstr) throw EchoLinkError("call", E_OUTOFMEMORY);
    return bstr;
}

void check(const char* operation, HRESULT status) {
    if (FAILED(status)) throw EchoLinkError(operation, status);
}

}  // namespace

// Receives the object's events; reacts to Closing only.
class ClosingSink final : public IDispatch {
public:
    ClosingSink(std::function<void()> on_closing, DISPID closing)
        : on_closing_(std::move(on_closing)), closing_(closing) {}

    // Once the link is gone, a late event finds nobody to tell.
    void disarm() { on_closing_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kEchoLinkEvents) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (member == closing_ && on_closing_) {
            // Held here: the handler may end the program and disarm this sink.
            const std::function<void()> on_closing = on_closing_;
            on_closing();
        }
        return S_OK;
    }

private:
    std::function<void()> on_closing_;
    DISPID closing_;
    std::atomic<ULONG> references_{1};
};

DISPID ComEchoLink::closing_dispid() {
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> events;
    FUNCDESC* first = nullptr;
    if (FAILED(LoadRegTypeLib(kEchoLinkLibrary, kEchoLinkLibraryMajor, kEchoLinkLibraryMinor, LOCALE_NEUTRAL,
                              &library)) ||
        FAILED(library->GetTypeInfoOfGuid(kEchoLinkEvents, &events)) ||
        FAILED(events->GetFuncDesc(0, &first)))
        return kAssumedClosingDispid;
    const DISPID closing = first->memid;
    events->ReleaseFuncDesc(first);
    return closing;
}

std::unique_ptr<ComEchoLink> ComEchoLink::create(std::function<void()> on_closing) {
    std::unique_ptr<ComEchoLink> link(new ComEchoLink);
    check("create", CoCreateInstance(kEchoLinkClass, nullptr, CLSCTX_SERVER, kEchoLinkInterface,
                                     reinterpret_cast<void**>(link->object_.GetAddressOf())));
    ComPtr<IConnectionPointContainer> container;
    check("create", link->object_.As(&container));
    check("create", container->FindConnectionPoint(kEchoLinkEvents, &link->events_));
    link->sink_.Attach(new ClosingSink(std::move(on_closing), closing_dispid()));
    check("create", link->events_->Advise(link->sink_.Get(), &link->cookie_));
    return link;
}

ComEchoLink::~ComEchoLink() {
    if (sink_) sink_->disarm();
    if (cookie_) events_->Unadvise(cookie_);
}

template <class... Arguments>
HRESULT ComEchoLink::call_at(int position, Arguments... arguments) {
    using Method = HRESULT(STDMETHODCALLTYPE*)(IDispatch*, Arguments...);
    void* const* table = *reinterpret_cast<void* const* const*>(object_.Get());
    const auto method = reinterpret_cast<Method>(table[kDispatchMethods + position - 1]);
    return method(object_.Get(), arguments...);
}

void ComEchoLink::Connect(std::wstring_view callsign, bool flag) {
    const UniqueBstr text = make_bstr(callsign);
    check("Connect", call_at<BSTR, VARIANT_BOOL>(kConnect, text.get(), flag ? VARIANT_TRUE : VARIANT_FALSE));
}

void ComEchoLink::Disconnect(std::wstring_view callsign) {
    const UniqueBstr text = make_bstr(callsign);
    check("Disconnect", call_at<BSTR>(kDisconnect, text.get()));
}

void ComEchoLink::DisconnectAll() { check("DisconnectAll", call_at<>(kDisconnectAll)); }

bool ComEchoLink::IsConnected(std::wstring_view callsign) {
    const UniqueBstr text = make_bstr(callsign);
    VARIANT_BOOL connected = VARIANT_FALSE;
    check("IsConnected", call_at<BSTR, VARIANT_BOOL*>(kIsConnected, text.get(), &connected));
    return connected != VARIANT_FALSE;
}

}  // namespace relinka
