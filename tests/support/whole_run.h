#pragma once
// A program run to its end and to the end of every program it starts.
#include <windows.h>

#include <string>

namespace relinka::testing {

// Runs `command`, a whole command line, in `directory`, and waits up to `milliseconds` for it and for
// every process it starts to end (an uninstaller hands its work to a copy of itself in the temporary
// folder and ends at once). The first process's exit code; STILL_ACTIVE if any of them still runs.
DWORD run_with_descendants(std::wstring command, const wchar_t* directory = nullptr,
                           DWORD milliseconds = 60'000);

}  // namespace relinka::testing
