#include "winlib/deadline_win.h"

#include <atomic>
#include <new>

#include "winlib/trace_win.h"
#include "winlib/unique_win.h"

namespace relinka {

struct Deadline::Watch {
    enum State { Waiting, Met, GivenUp };

    DWORD milliseconds;
    UINT exit_code;
    void (*overdue)();
    UniqueHandle met{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    // Whichever comes first, the step's end or the operator's answer, decides; the other then changes
    // nothing.
    std::atomic<int> state{Waiting};
    std::atomic<int> holders{2};  // the deadline and its thread: the last to let go deletes it
    DWORD thread = 0;

    void let_go() {
        if (--holders == 0) delete this;
    }
};

Deadline::Deadline(DWORD milliseconds, UINT exit_code, void (*overdue)())
    : watch_(new (std::nothrow) Watch{milliseconds, exit_code, overdue}) {
    const UniqueHandle thread(
        watch_ && watch_->met ? CreateThread(nullptr, 0, watch, watch_, 0, &watch_->thread) : nullptr);
    if (thread) return;
    trace_last_error("deadline: no thread to watch it, the step takes as long as it takes");
    delete watch_;
    watch_ = nullptr;
}

Deadline::~Deadline() {
    if (!watch_) return;
    int waiting = Watch::Waiting;
    if (!watch_->state.compare_exchange_strong(waiting, Watch::Met)) {
        // The operator answered first: the watching thread is ending the process.
        Sleep(INFINITE);
    }
    SetEvent(watch_->met.get());
    // A box already shown, or about to be, ends at WM_QUIT. Posting fails only before the thread has a
    // message queue, and so before it waits: it then finds the step ended and shows nothing.
    PostThreadMessageW(watch_->thread, WM_QUIT, 0, 0);
    watch_->let_go();
}

DWORD WINAPI Deadline::watch(void* shared) {
    Watch& watch = *static_cast<Watch*>(shared);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // its queue, for the WM_QUIT that takes the box away
    if (WaitForSingleObject(watch.met.get(), watch.milliseconds) == WAIT_TIMEOUT &&
        watch.state == Watch::Waiting) {
        watch.overdue();
        int waiting = Watch::Waiting;
        if (watch.state.compare_exchange_strong(waiting, Watch::GivenUp))
            TerminateProcess(GetCurrentProcess(), watch.exit_code);
    }
    watch.let_go();
    return 0;
}

}  // namespace relinka
