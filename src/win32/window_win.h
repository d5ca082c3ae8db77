#pragma once
// Base of the program's top-level windows: one window procedure that finds the C++ object behind the
// window and hands it every message.
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
    void create(DWORD style, const RECT& bounds, const wchar_t* caption);
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
