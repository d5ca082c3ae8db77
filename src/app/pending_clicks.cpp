#include "app/pending_clicks.h"

namespace relinka {

bool PendingClicks::runs_now(int id, bool ticking, bool sent_by_another_thread) {
    // Behind one that waits, a click waits too, so that clicks keep their order.
    if (!ticking && !sent_by_another_thread && waiting_.empty()) return true;
    waiting_.push_back(id);
    return false;
}

std::optional<int> PendingClicks::next(bool ticking) {
    if (ticking || waiting_.empty()) return std::nullopt;
    const int id = waiting_.front();
    waiting_.pop_front();
    return id;
}

}  // namespace relinka
