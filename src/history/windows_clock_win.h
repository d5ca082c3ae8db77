#pragma once
// The time as Windows keeps it, in the history's terms.
#include <windows.h>

#include "history/local_time.h"

namespace relinka {

// A moment given in UTC, with the offset the system's time zone had then (summer time included).
LocalTime local_time_of(const FILETIME& utc);

class WindowsClock : public Clock {
public:
    LocalTime now() override;
};

}  // namespace relinka
