#pragma once
// An animation embedded in the program, as the tests read it: what the program's player finds in it,
// and the kind of file it is.
#include "winlib/animation_frames_win.h"

namespace relinka::testing {

AnimationFacts read_animation(int resource);
bool is_gif89a(int resource);

}  // namespace relinka::testing
