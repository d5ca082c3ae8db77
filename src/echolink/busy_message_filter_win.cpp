#include "echolink/busy_message_filter_win.h"

#include <optional>

#include "echolink/busy.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

// Lives as long as the program: one static object, so no reference is counted.
class BusyMessageFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
        if (!object) return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IMessageFilter) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) noexcept override {
        return SERVERCALL_ISHANDLED;
    }
    // `elapsed` is the time since the call was first made; -1 cancels it, 100 and more waits that long.
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD reject_type) noexcept override {
        const std::int32_t status = reject_type == SERVERCALL_RETRYLATER ? kRetryLater : kCallRejected;
        const std::optional<unsigned> wait = retry_busy_call_after(status, elapsed);
        return wait ? *wait : static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) noexcept override {
        return PENDINGMSG_WAITDEFPROCESS;
    }
};

}  // namespace

void use_busy_message_filter() {
    static BusyMessageFilter filter;
    traced("CoRegisterMessageFilter, so a busy EchoLink's calls are tried again only on their results",
           CoRegisterMessageFilter(&filter, nullptr));
}

}  // namespace relinka
