#pragma once
// EchoLink busy with a dialog of its own turns calls away (COM's "call rejected" or "retry later")
// instead of answering them: such a call is tried again for a while, and a busy EchoLink is never read
// as every station dropped.
#include <cstdint>
#include <optional>

namespace relinka {

inline constexpr std::int32_t kCallRejected = static_cast<std::int32_t>(0x80010001);  // RPC_E_CALL_REJECTED
inline constexpr std::int32_t kRetryLater =
    static_cast<std::int32_t>(0x8001010A);  // RPC_E_SERVERCALL_RETRYLATER

// How long a busy EchoLink is given to take a call before the call counts as turned away.
inline constexpr unsigned kBusyPatience = 2000;  // ms

bool busy_status(std::int32_t status);

// For a call that `status` answered `elapsed` ms after it was first made: the wait before trying it again,
// or nothing when it is not to be tried again (it did not fail for being busy, or had its 2 s).
std::optional<unsigned> retry_busy_call_after(std::int32_t status, unsigned elapsed);

}  // namespace relinka
