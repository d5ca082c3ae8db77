#include "win32/deadline_win.h"

#include "win32/trace_win.h"

namespace relinka {

Deadline::Deadline(DWORD milliseconds, UINT exit_code, void (*overdue)())
    : milliseconds_(milliseconds),
      exit_code_(exit_code),
      overdue_(overdue),
      met_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (met_) watcher_.reset(CreateThread(nullptr, 0, watch, this, 0, nullptr));
    trace_last_error_if(!watcher_, "deadline: no thread to watch it, the step takes as long as it takes");
}

Deadline::~Deadline() {
    if (!watcher_) return;
    SetEvent(met_.get());
    WaitForSingleObject(watcher_.get(), INFINITE);
}

DWORD WINAPI Deadline::watch(void* deadline) {
    const Deadline& self = *static_cast<const Deadline*>(deadline);
    if (WaitForSingleObject(self.met_.get(), self.milliseconds_) != WAIT_TIMEOUT) return 0;
    self.overdue_();
    TerminateProcess(GetCurrentProcess(), self.exit_code_);
    return 0;
}

}  // namespace relinka
