#include "winlib/modal_form_win.h"

#include <utility>

namespace relinka {

void ModalForm::run(HWND blocked) {
    if (!hwnd()) return;
    blocked_ = blocked;
    EnableWindow(blocked, FALSE);
    show();
    MSG message;
    while (hwnd()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop to see
            close();
            break;
        }
        dispatch_message(message);
    }
}

void ModalForm::close() {
    if (blocked_) EnableWindow(std::exchange(blocked_, nullptr), TRUE);
    if (hwnd()) DestroyWindow(hwnd());
}

LRESULT ModalForm::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) {
        close();
        return 0;
    }
    return Form::handle(message, wparam, lparam);
}

}  // namespace relinka
