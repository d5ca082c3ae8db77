#pragma once
// A control that plays an animated GIF embedded in the program: every frame for its own delay, the
// loops the file asks for, fitted into the control's area. Created with the resource id as its creation
// parameter. Its frames come a moment after the window first shows; a picture that cannot be had
// leaves the area blank.
#include <windows.h>

namespace relinka {

inline constexpr wchar_t kAnimationClass[] = L"RelinkaAnimation";
// The timer whose WM_TIMER brings a control's next frame.
inline constexpr UINT_PTR kAnimationFrameTimer = 1;
void register_animation_class();

// While its window is minimized a control brings no frame; woken, it goes on from the frame it showed.
void rest_animation(HWND control, bool resting);

}  // namespace relinka
