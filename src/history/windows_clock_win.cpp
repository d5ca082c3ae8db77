#include "history/windows_clock_win.h"

namespace relinka {

namespace {

constexpr std::int64_t kUnixEpoch = 116'444'736'000'000'000;  // 1970-01-01 in 100 ns since 1601
constexpr std::int64_t kTicksASecond = 10'000'000;

std::int64_t ticks_of(const FILETIME& time) {
    return static_cast<std::int64_t>(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart);
}

}  // namespace

LocalTime local_time_of(const FILETIME& utc) {
    const std::int64_t seconds = (ticks_of(utc) - kUnixEpoch) / kTicksASecond;
    SYSTEMTIME universal, local;
    FILETIME local_time;
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local) ||
        !SystemTimeToFileTime(&local, &local_time))
        return {seconds, 0};
    const std::int64_t offset_seconds = (ticks_of(local_time) - ticks_of(utc)) / kTicksASecond;
    return {seconds, static_cast<int>((offset_seconds + (offset_seconds < 0 ? -30 : 30)) / 60)};
}

LocalTime WindowsClock::now() {
    FILETIME utc;
    GetSystemTimeAsFileTime(&utc);
    return local_time_of(utc);
}

}  // namespace relinka
