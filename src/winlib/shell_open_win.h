#pragma once
// A file opened as the shell opens it on a double click (a text file in the operator's editor), from a
// thread of its own: the shell may take its time, or never answer for a file on a network drive that has
// stopped answering, and the user-interface thread must not wait for it.
#include <windows.h>

#include <string>

namespace relinka {

// `window` is posted `failed` with the system's error code in its wParam if the shell could not open it.
void open_in_background(const std::wstring& file, HWND window, UINT failed);

}  // namespace relinka
