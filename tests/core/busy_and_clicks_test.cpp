// A busy EchoLink's calls tried again, and the clicks that wait for the tick.
#include <gtest/gtest.h>

#include "app/pending_clicks.h"
#include "echolink/busy.h"

namespace relinka::testing {
namespace {

TEST(BusyEchoLink, ACallTurnedAwayIsTriedAgainForTwoSeconds) {
    struct Case {
        std::int32_t status;
        unsigned elapsed;
        std::optional<unsigned> wait;
    };
    const Case cases[] = {
        {kCallRejected, 0, 100},
        {kRetryLater, 0, 100},
        {kCallRejected, 1950, 50},
        {kCallRejected, 2000, {}},
        {kRetryLater, 60'000, {}},                       // had its 2 s
        {static_cast<std::int32_t>(0x80004005), 0, {}},  // E_FAIL: a failure, not busy
        {static_cast<std::int32_t>(0x800706BA), 0, {}},  // EchoLink gone
        {static_cast<std::int32_t>(0x8001010D), 0, {}},  // refused here, not there
    };
    for (const Case& c : cases)
        EXPECT_EQ(retry_busy_call_after(c.status, c.elapsed), c.wait)
            << std::hex << c.status << " " << c.elapsed;
}

TEST(PendingClicks, AClickWaitsWhileATickRunsOrWhenAnotherProgramSentItAndAllKeepTheirOrder) {
    struct Case {
        bool ticking, sent, already_waiting;
        bool runs_now;
    };
    const Case cases[] = {
        {false, false, false, true}, {true, false, false, false}, {false, true, false, false},
        {true, true, false, false},  {false, false, true, false},  // behind one that waits
    };
    for (const Case& c : cases) {
        PendingClicks clicks;
        if (c.already_waiting) clicks.runs_now(1, true, false);
        EXPECT_EQ(clicks.runs_now(2, c.ticking, c.sent), c.runs_now)
            << c.ticking << c.sent << c.already_waiting;
    }

    PendingClicks clicks;
    for (int id : {5, 3, 5}) clicks.runs_now(id, true, false);
    EXPECT_EQ(clicks.next(true), std::nullopt) << "not while a tick runs";
    std::vector<int> run;
    while (const std::optional<int> id = clicks.next(false)) run.push_back(*id);
    EXPECT_EQ(run, (std::vector<int>{5, 3, 5}));
    EXPECT_TRUE(clicks.empty());
}

}  // namespace
}  // namespace relinka::testing
