#include "station_table.h"

#include <gtest/gtest.h>

namespace standin {
namespace {

using namespace std::chrono_literals;

const Clock::time_point t0{};

TEST(StationTable, LinkComesUpWhenTheConnectDelayIsOver) {
    StationTable table;  // default delay: 1500 ms
    table.connect(L"PU2ABC", t0);
    EXPECT_FALSE(table.is_connected(L"PU2ABC", t0 + 1499ms));
    EXPECT_TRUE(table.is_connected(L"PU2ABC", t0 + 1500ms));
}

TEST(StationTable, ZeroDelayConnectsAtOnce) {
    StationTable table;
    table.set_connect_delay(0ms);
    table.connect(L"PU2ABC", t0);
    EXPECT_TRUE(table.is_connected(L"PU2ABC", t0));
}

TEST(StationTable, AskingAgainWhilePendingDoesNotPostponeTheLink) {
    // Relinka asks again at every tick; a restarted delay would keep the link down for good.
    StationTable table;
    table.connect(L"PU2ABC", t0);
    table.connect(L"PU2ABC", t0 + 1000ms);
    EXPECT_TRUE(table.is_connected(L"PU2ABC", t0 + 1500ms));
}

TEST(StationTable, CallsignsMatchExactly) {
    StationTable table;
    table.set_connect_delay(0ms);
    table.connect(L"PU2ABC", t0);
    EXPECT_FALSE(table.is_connected(L"pu2abc", t0));
    EXPECT_FALSE(table.is_connected(L"PU2ABC ", t0));
    EXPECT_FALSE(table.is_connected(L" PU2ABC", t0));
    table.drop(L"pu2abc");
    EXPECT_TRUE(table.is_connected(L"PU2ABC", t0));
}

TEST(StationTable, RefusedCallsignNeverComesUp) {
    StationTable table;
    table.set_connect_delay(0ms);
    table.refuse(L"PU2ABC");
    table.connect(L"PU2ABC", t0);
    table.connect(L"PY1XYZ", t0);
    EXPECT_FALSE(table.is_connected(L"PU2ABC", t0 + 1h));
    EXPECT_TRUE(table.is_connected(L"PY1XYZ", t0));
    EXPECT_EQ(table.stations(t0).size(), 1u);
}

TEST(StationTable, DropEndsPendingAndEstablishedLinks) {
    StationTable table;
    table.connect(L"PU2ABC", t0);
    table.drop(L"PU2ABC");
    EXPECT_FALSE(table.is_connected(L"PU2ABC", t0 + 1h));

    table.connect(L"PU2ABC", t0);
    table.connect(L"PY1XYZ", t0);
    table.drop_all();
    EXPECT_TRUE(table.stations(t0 + 1h).empty());
}

TEST(StationTable, ListsPendingLinksApartFromEstablishedOnes) {
    StationTable table;
    table.connect(L"PY1XYZ", t0);
    table.connect(L"PU2ABC", t0 + 1000ms);
    const auto now = t0 + 2000ms;
    EXPECT_EQ(table.stations(now), (std::vector<Station>{{L"PU2ABC", false}, {L"PY1XYZ", true}}));
    EXPECT_EQ(table.established(now), std::vector<std::wstring>{L"PY1XYZ"});
}

}  // namespace
}  // namespace standin
