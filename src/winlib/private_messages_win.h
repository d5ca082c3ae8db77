#pragma once
// The messages the library's windows send or post to themselves, in one place so that no two share a
// number. A window of the program's own that wants messages of its own takes them from kFirstFreeMessage.
#include <windows.h>

namespace relinka {

// To a new animation, from itself: its picture is decoded once the window has shown, so that decoding
// (and starting GDI+) does not hold up the program's first paint.
inline constexpr UINT kDecodePicture = WM_APP + 1;
// To an animation, from its form: its window has been shown, hidden, minimized or restored.
inline constexpr UINT kFollowWindowState = WM_APP + 2;
// To a form, from its show(): screen readers are told what its controls are.
inline constexpr UINT kDescribeControls = WM_APP + 3;
// To the window that watches the screen, from a thread pool's wait: Remote Desktop Services have started.
inline constexpr UINT kSessionServicesStarted = WM_APP + 4;

inline constexpr UINT kFirstFreeMessage = WM_APP + 16;

}  // namespace relinka
