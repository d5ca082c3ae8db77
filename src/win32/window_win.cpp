#include "win32/window_win.h"

#include <utility>

namespace relinka {

namespace {
constexpr wchar_t kClassName[] = L"RelinkaForm";

}  // namespace

void Window::register_class() {
    static const ATOM atom = [] {
        WNDCLASSEXW window_class{};
        window_class.cbSize = sizeof window_class;
        window_class.style = CS_DBLCLKS;
        window_class.lpfnWndProc = procedure;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        // The index, not a brush: the form's face follows a change of palette.
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        window_class.lpszClassName = kClassName;
        return RegisterClassExW(&window_class);
    }();
    (void)atom;
}

namespace {
bool is_form(HWND hwnd) {
    wchar_t name[32];
    return GetClassNameW(hwnd, name, 32) && lstrcmpW(name, kClassName) == 0;
}
}  // namespace

Window::~Window() { destroy(); }

void Window::destroy() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(hwnd_, nullptr));
}

bool Window::create(DWORD style, const RECT& bounds, const wchar_t* caption) {
    register_class();
    return CreateWindowExW(0, kClassName, caption, style, bounds.left, bounds.top, bounds.right - bounds.left,
                           bounds.bottom - bounds.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

LRESULT Window::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Window::procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    // Messages such as WM_GETMINMAXINFO come before WM_NCCREATE, when no object is bound yet.
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcW(hwnd, message, wparam, lparam);
    LRESULT result = 0;
    try {
        result = window->handle(message, wparam, lparam);
    } catch (...) {
        // The message counts as handled; nothing unwinds into Windows.
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->hwnd_ = nullptr;
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
