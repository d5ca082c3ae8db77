#pragma once
// Files and addresses opened as the shell opens them.
#include <windows.h>

#include <string>

namespace relinka {

// The shell's ShellExecuteW, for a window that opens something at a press (About's web address); a test
// puts one in its place that writes the call down. Its answer is not looked at.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void execute(HWND owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                         const wchar_t* directory, int show);
};

// A file opened as the shell opens it on a double click (a text file in the operator's editor), from a
// thread of its own: the shell may take its time, or never answer for a file on a network drive that has
// stopped answering, and the user-interface thread must not wait for it.
// `window` is posted `failed` with the system's error code in its wParam if the shell could not open it.
void open_in_background(const std::wstring& file, HWND window, UINT failed);

}  // namespace relinka
