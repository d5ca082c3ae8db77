// The resource type of the animated GIFs the animation control plays, for the control and for the
// resource scripts that embed them (plain C preprocessor, which the resource compiler reads too).
#pragma once

#define RT_GIF_ANIMATION 256
