#include "windows/sobre_auto_win.h"

namespace relinka {

LRESULT SobreAutoWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
        switch (LOWORD(wparam)) {
            case kSobreCommand1:  // the shell's answer is not looked at; the window stays open
                shell_.execute(hwnd(), L"open", kAuthorWebAddress, L"", L"", SW_SHOWNORMAL);
                return 0;
            case kSobreRet:
                close();
                return 0;
        }
    }
    return ModalForm::handle(message, wparam, lparam);
}

}  // namespace relinka
