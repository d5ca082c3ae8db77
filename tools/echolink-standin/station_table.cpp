#include "station_table.h"

namespace standin {

void StationTable::connect(const std::wstring& callsign, Clock::time_point now) {
    if (refused_.contains(callsign)) return;
    // A repeated request neither restarts a pending link nor disturbs an established one: a caller
    // that asks again before the delay is over must still see the link come up.
    due_times_.try_emplace(callsign, now + connect_delay_);
}

bool StationTable::is_connected(const std::wstring& callsign, Clock::time_point now) const {
    const auto found = due_times_.find(callsign);
    return found != due_times_.end() && found->second <= now;
}

std::vector<Station> StationTable::stations(Clock::time_point now) const {
    std::vector<Station> result;
    for (const auto& [callsign, due] : due_times_) result.push_back({callsign, due <= now});
    return result;
}

std::vector<std::wstring> StationTable::established(Clock::time_point now) const {
    std::vector<std::wstring> result;
    for (auto& station : stations(now))
        if (station.established) result.push_back(std::move(station.callsign));
    return result;
}

}  // namespace standin
