#pragma once
// A control that plays an animated GIF embedded in the program: every frame for its own delay, the
// loops the file asks for, fitted into the control's area. Created with the resource id as its creation
// parameter. Its frames come a moment after the window first shows, and are made again when its size
// or the system's colours change; a picture that cannot be had leaves the area blank.
#include <windows.h>

namespace relinka {

inline constexpr wchar_t kAnimationClass[] = L"RelinkaAnimation";
// The timer whose WM_TIMER brings a control's next frame.
inline constexpr UINT_PTR kAnimationFrameTimer = 1;
void register_animation_class();

// An animation brings no frame while nobody can see it: while its window is minimized or hidden, and
// while nobody can see the screen. Woken, it goes on from the frame it showed.

// Its window has been shown, hidden, minimized or restored (the form tells its animations).
void follow_window_state(HWND control);
// Whether anybody can see the screen (the session unlocked and connected, its display on), for every
// animation of the program.
void set_screen_seen(bool seen);

}  // namespace relinka
