#include "support/embedded_animation.h"

#include <cstring>

#include "winlib/animation_resource.h"

namespace relinka::testing {

AnimationFacts read_animation(int resource) {
    const auto frames = AnimationFrames::of(resource, {1, 1}, RGB(255, 255, 255));
    return frames ? frames->facts() : AnimationFacts{};
}

bool is_gif89a(int resource) {
    const HRSRC found =
        FindResourceW(nullptr, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(RT_GIF_ANIMATION));
    return found && SizeofResource(nullptr, found) >= 6 &&
           std::memcmp(LockResource(LoadResource(nullptr, found)), "GIF89a", 6) == 0;
}

}  // namespace relinka::testing
