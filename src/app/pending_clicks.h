#pragma once
// The buttons pressed while they may not run yet. A click never runs inside a supervision tick, however
// it came (the mouse, the keyboard, a screen reader or another program sending or posting it), and one
// sent by another program never runs inside its message: the sender would wait on the handler, and
// Windows refuses a call into EchoLink made there. Such clicks wait, in the order they came, and run once
// the tick has ended and the message loop has them again.
#include <deque>
#include <optional>

namespace relinka {

class PendingClicks {
public:
    // Whether the click on button `id` runs now; if not, it waits behind those already waiting.
    bool runs_now(int id, bool ticking, bool sent_by_another_thread);
    // The click that waited longest, once no tick runs.
    std::optional<int> next(bool ticking);
    bool empty() const { return waiting_.empty(); }

private:
    std::deque<int> waiting_;
};

}  // namespace relinka
