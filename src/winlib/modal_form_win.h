#pragma once
// A form shown modally without an owner: the window it blocks takes no input until it has gone, while
// that window's timers keep running.
#include "winlib/form_win.h"

namespace relinka {

class ModalForm : public Form {
public:
    // Shows the form, made with create() beforehand, and returns when it has gone; at once when it was
    // not made.
    void run(HWND blocked);
    // Gives the blocked window its input back first, so that it is the one activated next.
    void close();

protected:
    using Form::Form;
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    HWND blocked_ = nullptr;
};

}  // namespace relinka
