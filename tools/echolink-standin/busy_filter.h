#pragma once
// EchoLink busy with a dialog of its own: while it is, its own calls are turned away as a busy COM server
// turns them away, by its message filter, before they reach it. The control interface stays answered.
#include <windows.h>

namespace standin {

// The filter of the calling thread's apartment, from now on.
HRESULT use_busy_filter() noexcept;
// Busy for the next `milliseconds` (0: no longer).
void be_busy_for(DWORD milliseconds) noexcept;

}  // namespace standin
