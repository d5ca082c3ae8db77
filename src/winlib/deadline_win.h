#pragma once
// A step that waits on another program, which may never answer, given a time to end in: a thread of its
// own watches the clock and, when the time has run out, tells the operator in a box of its own. The
// operator's answer ends the process; the step ending first takes the box away, and the program goes on
// as if nothing had happened. Meanwhile the waiting thread keeps answering what it answers while it
// waits, and it never waits on the watching thread.
#include <windows.h>

namespace relinka {

class Deadline {
public:
    // From now on: if the step has not ended after `milliseconds`, `overdue` runs on the watching thread
    // (it shows the box and returns once it is answered or closed), and if the step has still not ended by
    // then, the process ends with `exit_code`. Without a thread to watch, the failure is traced and the
    // step takes as long as it takes.
    Deadline(DWORD milliseconds, UINT exit_code, void (*overdue)());
    // The step has ended.
    ~Deadline();
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

private:
    struct Watch;
    static DWORD WINAPI watch(void* watch);

    Watch* watch_ = nullptr;  // shared with the watching thread, which may outlive this
};

}  // namespace relinka
