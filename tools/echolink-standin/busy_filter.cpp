#include "busy_filter.h"

#include "standin_control.h"
#include "winlib/com_win.h"

namespace standin {

namespace {

ULONGLONG busy_until = 0;  // GetTickCount64's; the apartment's one thread reads and writes it

class BusyFilter final : public relinka::StaticMessageFilter {
public:
    // SERVERCALL_REJECTED rather than SERVERCALL_RETRYLATER: Wine's server honours only the first.
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO call) noexcept override {
        const bool echolinks_own = call && call->iid == IID_IEchoLinkApp;
        return echolinks_own && GetTickCount64() < busy_until ? SERVERCALL_REJECTED : SERVERCALL_ISHANDLED;
    }
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
