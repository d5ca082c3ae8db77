#pragma once
// Pictures embedded in the tests that the program cannot show (damaged_picture.rc): one that says it is
// an animated GIF and holds nothing else that makes sense, and a sound one of 40 frames of 1400 x 1400,
// whose frames would take more memory than any screen could need.
#define IDG_DAMAGED_PICTURE 990
#define IDG_OVERSIZED_PICTURE 991
