#include "busy_filter.h"

#include <objidl.h>

#include "standin_control.h"

namespace standin {

namespace {

ULONGLONG busy_until = 0;  // GetTickCount64's; the apartment's one thread reads and writes it

class BusyFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IMessageFilter) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // static: nothing to count
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // SERVERCALL_REJECTED rather than SERVERCALL_RETRYLATER: Wine's server honours only the first.
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO call) override {
        const bool echolinks_own = call && call->iid == IID_IEchoLinkApp;
        return echolinks_own && GetTickCount64() < busy_until ? SERVERCALL_REJECTED : SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

}  // namespace

HRESULT use_busy_filter() noexcept {
    static BusyFilter filter;
    return CoRegisterMessageFilter(&filter, nullptr);
}

void be_busy_for(DWORD milliseconds) noexcept {
    busy_until = milliseconds ? GetTickCount64() + milliseconds : 0;
}

}  // namespace standin
