#pragma once
// A control that plays an animated GIF embedded in the program: every frame for its own delay, the
// loops the file asks for, fitted into the control's area. Created with the resource id as its creation
// parameter; nothing else ever talks to it. Its picture comes a moment after the window first shows.
#include <windows.h>

#include <vector>

namespace relinka {

inline constexpr wchar_t kAnimationClass[] = L"RelinkaAnimation";
// The timer whose WM_TIMER brings a control's next frame.
inline constexpr UINT_PTR kAnimationFrameTimer = 1;
void register_animation_class();

// GDI+, started at its first use and shut down when the program ends. Nothing of GDI+ may outlive the
// program's windows.
void start_gdiplus();

struct AnimationFacts {
    unsigned width = 0, height = 0;
    std::vector<unsigned> delays_ms;  // one per frame
    unsigned loop_count = 0;          // 0: without end
    bool is_gif89a = false;
};
// What an embedded animation holds, as the player reads it.
AnimationFacts read_animation(int resource);

}  // namespace relinka
