#include "app/folder_claim.h"

namespace relinka {

std::optional<FolderClaim::Step> FolderClaim::next() const {
    if (restarted_) {
        // Marked as started again before it marks the folder, so that a Relinka that finds it here knows.
        if (taken_ == 0) return Step{Step::Make, FolderMark::RestartedHere};
        if (taken_ == 1) return Step{Step::Make, FolderMark::Here};
        return std::nullopt;
    }
    if (taken_ == 0) return Step{Step::Make, FolderMark::Here};
    // The first here stays whoever comes later; a later one looks for one started again.
    if (taken_ == 1 && another_here_) return Step{Step::LookFor, FolderMark::RestartedHere};
    return std::nullopt;
}

void FolderClaim::found(Found what) {
    const std::optional<Step> step = next();
    if (!step) return;
    const bool present = what != Found::Absent;
    if (step->mark == FolderMark::Here)
        another_here_ = present;
    else if (step->action == Step::LookFor)
        restarted_here_ = present;
    ++taken_;
}

}  // namespace relinka
