#pragma once
// The stations EchoLink is linked to, keyed by callsign exactly as received (case and blanks count).
// A requested link comes up after the connect delay; its due time is kept and compared with the clock
// at every question, so no timer is needed.
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace standin {

using Clock = std::chrono::steady_clock;

struct Station {
    std::wstring callsign;
    bool established;  // false while the link is still coming up

    bool operator==(const Station&) const = default;
};

class StationTable {
public:
    void set_connect_delay(Clock::duration delay) { connect_delay_ = delay; }
    // Requests for a refused callsign are taken and forgotten.
    void refuse(const std::wstring& callsign) { refused_.insert(callsign); }

    void connect(const std::wstring& callsign, Clock::time_point now);
    void drop(const std::wstring& callsign) { due_times_.erase(callsign); }
    void drop_all() { due_times_.clear(); }

    bool is_connected(const std::wstring& callsign, Clock::time_point now) const;
    // Every station, pending ones included, in callsign order.
    std::vector<Station> stations(Clock::time_point now) const;
    std::vector<std::wstring> established(Clock::time_point now) const;

private:
    Clock::duration connect_delay_ = std::chrono::milliseconds(1500);
    std::map<std::wstring, Clock::time_point> due_times_;
    std::set<std::wstring> refused_;
};

}  // namespace standin
