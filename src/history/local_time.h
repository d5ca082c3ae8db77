#pragma once
// A moment as the history keeps it: the local date and time, with its offset from UTC, so that a line
// read back after a change of summer time, or on another PC, still says when it happened.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace relinka {

struct LocalTime {
    std::int64_t utc_seconds = 0;  // since 1970-01-01 00:00:00 UTC
    int offset_minutes = 0;        // the local time minus UTC
    bool operator==(const LocalTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() = 0;
};

// "2026-12-09 14:02:11 -03:00"
std::string format_time(LocalTime time);
// Exactly that form, of a real date (years 0000 to 9999, offsets within 23:59); nothing else.
std::optional<LocalTime> parse_time(std::string_view text);
// "09/12/2026 14:02:11", as the window shows it, in the time's own local time.
std::wstring display_time(LocalTime time);
// "há 5 min", "há 2 h 05 min", "há 3 dias e 4 h": how long before `now` a moment was.
std::wstring display_age(LocalTime time, LocalTime now);

}  // namespace relinka
