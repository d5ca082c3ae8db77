#pragma once
// Base of the program's top-level windows: one window procedure that finds the C++ object behind the
// window and hands it every message, from WM_NCCREATE on. handle() may throw: the window procedure
// catches every exception, so that none crosses into Windows, and the message then counts as handled
// with 0 (a window whose WM_NCCREATE throws is not created).
#include <windows.h>

namespace relinka {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

protected:
    // Destroys the window, if it is still there, without running this object's handlers: for a
    // destructor, before the things the window uses go.
    void destroy();
    // Called once the object is whole, so that a derived window's handle() sees every message.
    bool create(DWORD style, const RECT& bounds, const wchar_t* caption);
    virtual LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

private:
    static void register_class();
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

    HWND hwnd_ = nullptr;
};

// Hands a message to its window, letting a form's keyboard work as in a dialog: Tab and Shift+Tab walk
// the controls, Enter presses the focused button.
void dispatch_message(MSG& message);

}  // namespace relinka
