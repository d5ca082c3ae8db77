#pragma once
// Base of every window of the program's own, its forms and its own kinds of control: one window
// procedure that finds the C++ object behind the window and hands it every message, from WM_NCCREATE
// on. handle() may throw: the window procedure catches every exception, so that none crosses into
// Windows, and the message then counts as handled with 0 (a window whose WM_NCCREATE throws is not
// created).
#include <windows.h>

#include <memory>

namespace relinka {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

    // Makes the object of a control of one of the program's own classes (register_control_class).
    using Maker = std::unique_ptr<Window> (*)(const CREATESTRUCTW& creation);

protected:
    // Destroys the window, if it is still there, without running this object's handlers: for a
    // destructor, before the things the window uses go.
    void destroy();
    // A top-level window for this object. Called once the object is whole, so that a derived window's
    // handle() sees every message.
    [[nodiscard]] bool create(DWORD style, const RECT& bounds, const wchar_t* caption);
    virtual LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);

    // A class of child controls of the program's own, made as any control is, by CreateWindowExW with the
    // class's name. Each window of the class gets its object from `make`, given the creation's
    // parameters; the window owns it, and it goes once the window has gone.
    static void register_control_class(const wchar_t* name, UINT class_style, Maker make);

private:
    [[nodiscard]] static ATOM register_class(const wchar_t* name, UINT style, HBRUSH background);
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    static bool bind(HWND hwnd, const CREATESTRUCTW& creation) noexcept;

    HWND hwnd_ = nullptr;
    bool owned_by_window_ = false;
};

// Hands a message to its window, letting a form's keyboard work as in a dialog: Tab and Shift+Tab walk
// the controls, Enter presses the focused button.
void dispatch_message(MSG& message);

}  // namespace relinka
