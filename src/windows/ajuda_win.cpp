#include "windows/ajuda_win.h"

namespace relinka {

LRESULT AjudaWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND && LOWORD(wparam) == kAjudaCommand1 && HIWORD(wparam) == BN_CLICKED) {
        close();  // Command1_Click
        return 0;
    }
    return ModalForm::handle(message, wparam, lparam);
}

}  // namespace relinka
