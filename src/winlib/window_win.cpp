#include "winlib/window_win.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "winlib/trace_win.h"

namespace relinka {

namespace {

constexpr wchar_t kFormClass[] = L"RelinkaForm";

// The classes of controls of ours, by atom, with what makes each window's object.
struct ControlClass {
    ATOM atom;
    Window::Maker make;
};
std::vector<ControlClass>& control_classes() {
    static std::vector<ControlClass> classes;
    return classes;
}

// The forms' class, once the first form has registered it.
ATOM form_class = 0;

bool is_form(HWND hwnd) { return form_class && GetClassLongPtrW(hwnd, GCW_ATOM) == form_class; }

}  // namespace

ATOM Window::register_class(const wchar_t* name, UINT style, HBRUSH background) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.style = style;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = background;
    window_class.lpszClassName = name;
    return RegisterClassExW(&window_class);
}

void Window::register_control_class(const wchar_t* name, UINT class_style, Maker make) {
    if (const ATOM atom = register_class(name, class_style, nullptr))
        control_classes().push_back({atom, make});
}

Window::~Window() { destroy(); }

void Window::destroy() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(hwnd_, nullptr));
}

bool Window::create(DWORD style, const RECT& bounds, const wchar_t* caption) {
    // The colour's index, not a brush: the form's face follows a change of palette.
    if (!form_class)
        form_class = register_class(kFormClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateWindowExW(0, kFormClass, caption, style, bounds.left, bounds.top, bounds.right - bounds.left,
                           bounds.bottom - bounds.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

LRESULT Window::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

// The object of a window being made: a form's comes with its creation parameters, a control's is made
// for it by its class's Maker. False if it cannot be had.
bool Window::bind(HWND hwnd, const CREATESTRUCTW& creation) noexcept {
    auto* window = static_cast<Window*>(creation.lpCreateParams);
    const auto atom = static_cast<ATOM>(GetClassLongPtrW(hwnd, GCW_ATOM));
    for (const ControlClass& control_class : control_classes()) {
        if (control_class.atom != atom) continue;
        try {
            window = control_class.make(creation).release();
        } catch (...) {
            trace_exception("making the object of a control of the program's own class, so it is not made");
            return false;
        }
        window->owned_by_window_ = true;
    }
    if (!window) return false;
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    return true;
}

LRESULT CALLBACK Window::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message == WM_NCCREATE && !bind(hwnd, *reinterpret_cast<CREATESTRUCTW*>(lparam))) return FALSE;
    // Messages such as WM_GETMINMAXINFO come before WM_NCCREATE, when no object is bound yet.
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcW(hwnd, message, wparam, lparam);
    LRESULT result = 0;
    try {
        result = window->handle(message, wparam, lparam);
    } catch (...) {
        // The message counts as handled; nothing unwinds into Windows.
        char where[64];
        std::snprintf(where, sizeof where, "window procedure: message 0x%04X, counted as handled", message);
        trace_exception(where);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->hwnd_ = nullptr;
        if (window->owned_by_window_) delete window;
    }
    return result;
}

void dispatch_message(MSG& message) {
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && is_form(root) && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace relinka
