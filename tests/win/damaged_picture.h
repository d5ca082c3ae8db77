#pragma once
// A picture embedded in the tests that says it is an animated GIF and holds nothing else that makes
// sense (damaged_picture.rc).
#define IDG_DAMAGED_PICTURE 990
