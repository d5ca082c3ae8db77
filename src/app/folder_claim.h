#pragma once
// One Relinka per folder when Windows starts one again after an update and the Startup folder's shortcut
// starts another there at the same sign-in, whichever order their steps come in. Each Relinka marks the
// folder with named objects of the session, which last as long as it runs: "here" (every Relinka), and
// "restarted here" (one Windows started again), made before "here". The one that makes "here" first
// stays; a later one makes way if it was started again, or if one started again is there. Two that the
// operator started both stay, as they always have. Windows makes the objects and says what it found;
// this decides.
#include <optional>

namespace relinka {

enum class FolderMark { Here, RestartedHere };
// What a step found of a mark, before it acted. A mark refused for its access was made by a Relinka at
// another level (as administrator, or not): that Relinka is there all the same.
enum class Found { Absent, Present, Refused };

class FolderClaim {
public:
    struct Step {
        enum Action { Make, LookFor } action;
        FolderMark mark;
    };

    explicit FolderClaim(bool restarted) : restarted_(restarted) {}
    // The next step to take, until the claim is decided.
    std::optional<Step> next() const;
    // What the step next() gave found.
    void found(Found what);
    bool makes_way() const { return another_here_ && (restarted_ || restarted_here_); }

private:
    bool restarted_;
    int taken_ = 0;
    bool another_here_ = false;
    bool restarted_here_ = false;
};

}  // namespace relinka
