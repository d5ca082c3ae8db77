#include "echolink/busy_message_filter_win.h"

#include <optional>

#include "echolink/busy.h"
#include "winlib/com_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

class BusyMessageFilter final : public StaticMessageFilter {
public:
    // `elapsed` is the time since the call was first made; -1 cancels it, 100 and more waits that long.
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD reject_type) noexcept override {
        const std::int32_t status = reject_type == SERVERCALL_RETRYLATER ? kRetryLater : kCallRejected;
        const std::optional<unsigned> wait = retry_busy_call_after(status, elapsed);
        return wait ? *wait : static_cast<DWORD>(-1);
    }
};

}  // namespace

void use_busy_message_filter() {
    static BusyMessageFilter filter;
    traced("CoRegisterMessageFilter, so a busy EchoLink's calls are tried again only on their results",
           CoRegisterMessageFilter(&filter, nullptr));
}

}  // namespace relinka
