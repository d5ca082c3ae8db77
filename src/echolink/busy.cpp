#include "echolink/busy.h"

#include <algorithm>

namespace relinka {

namespace {
// Often enough that a dialog closed is noticed at once, seldom enough to leave EchoLink alone.
constexpr unsigned kBetweenTries = 100;  // ms
}  // namespace

bool busy_status(std::int32_t status) { return status == kCallRejected || status == kRetryLater; }

std::optional<unsigned> retry_busy_call_after(std::int32_t status, unsigned elapsed) {
    if (!busy_status(status) || elapsed >= kBusyPatience) return std::nullopt;
    return std::min(kBetweenTries, kBusyPatience - elapsed);
}

}  // namespace relinka
