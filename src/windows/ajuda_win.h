#pragma once
// The Help window `Ajuda`: a title, the help text and "Retornar".
#include <array>

#include "resources.h"
#include "win32/control_table.h"
#include "win32/modal_form_win.h"
#include "windows/texts.h"

namespace relinka {

enum AjudaControlId : int { kAjudaCommand1 = 201, kAjudaText1, kAjudaLabel1 };

inline constexpr FormSpec kAjudaForm{L"Ajuda", 6180, 4785, true, true, true, IDI_AJUDA};

inline constexpr std::array kAjudaControls{
    ControlSpec{L"Command1", kAjudaCommand1, ControlKind::Button, L"Retornar", 4560, 3600, 1335, 975,
                bold_sans(975), kDefaultColour, rgb(255, 128, 128), Align::Left, false, 0, IDI_RETORNAR},
    ControlSpec{L"Text1", kAjudaText1, ControlKind::MultiLineText, kHelpText, 360, 960, 5535, 2415,
                bold_sans(975), kDefaultColour, kDefaultColour, Align::Left, false, 1},
    ControlSpec{L"Label1", kAjudaLabel1, ControlKind::Label, L"Relinka amigos", 720, 120, 4935, 735,
                bold_serif(2775), rgb(0, 0, 255), kDefaultColour, Align::Left, false, 2},
};

class AjudaWindow : public ModalForm {
public:
    AjudaWindow() : ModalForm(kAjudaForm, kAjudaControls) {}

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace relinka
