#include "echolink/closing_sink_win.h"

#include <wrl/client.h>

#include <utility>

#include "echolink/echolink_automation_win.h"
#include "winlib/com_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {
// Where the type library cannot be read (not registered on this machine), Closing is taken to carry
// dispatch id 1: automation type libraries number their events from 1, and Closing is the first.
constexpr DISPID kAssumedClosingDispid = 1;
}  // namespace

ClosingSink::ClosingSink(std::function<void()> on_closing, DISPID closing)
    : on_closing_(std::move(on_closing)), closing_(closing) {}

DISPID ClosingSink::registered_closing_dispid() {
    Microsoft::WRL::ComPtr<ITypeLib> library;
    Microsoft::WRL::ComPtr<ITypeInfo> events;
    FUNCDESC* first = nullptr;
    HRESULT status = LoadRegTypeLib(kEchoLinkLibrary, kEchoLinkLibraryMajor, kEchoLinkLibraryMinor,
                                    LOCALE_NEUTRAL, &library);
    if (SUCCEEDED(status)) status = library->GetTypeInfoOfGuid(kEchoLinkEvents, &events);
    if (SUCCEEDED(status)) status = events->GetFuncDesc(0, &first);
    if (FAILED(status)) {
        trace_failure("EchoLink's type library unread, Closing taken to be dispatch id 1", status);
        return kAssumedClosingDispid;
    }
    const DISPID closing = first->memid;
    events->ReleaseFuncDesc(first);
    return closing;
}

HRESULT ClosingSink::QueryInterface(REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kEchoLinkEvents) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ClosingSink::AddRef() noexcept { return ++references_; }

ULONG ClosingSink::Release() noexcept {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT ClosingSink::GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT ClosingSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT ClosingSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept { return E_NOTIMPL; }

HRESULT ClosingSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                            UINT*) noexcept {
    return com_barrier([&] {
        if (!on_closing_) return S_OK;
        if (closing_ == DISPID_UNKNOWN) closing_ = registered_closing_dispid();
        if (member == closing_) {
            // Held here: the handler may end the program and disarm this sink.
            const std::function<void()> on_closing = on_closing_;
            on_closing();
        }
        return S_OK;
    });
}

}  // namespace relinka
