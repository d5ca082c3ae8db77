#pragma once
// A step that waits on another program, which may never answer, given a time to end in: a thread of its
// own watches the clock and, when the time has run out, tells the operator and ends the process.
#include <windows.h>

#include "win32/unique_win.h"

namespace relinka {

class Deadline {
public:
    // From now on: if the step has not ended after `milliseconds`, `overdue` runs on the watching thread
    // and the process then ends with `exit_code`. Without a thread to watch, the failure is traced and
    // the step takes as long as it takes.
    Deadline(DWORD milliseconds, UINT exit_code, void (*overdue)());
    // The step has ended. If its time ran out first, the process is ending: this waits for that.
    ~Deadline();
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

private:
    static DWORD WINAPI watch(void* deadline);

    DWORD milliseconds_;
    UINT exit_code_;
    void (*overdue_)();
    UniqueHandle met_;
    UniqueHandle watcher_;
};

}  // namespace relinka
