#pragma once
// The Help window `Ajuda`: a title, the help text and "Retornar".
#include <array>

#include "resources.h"
#include "windows/texts.h"
#include "winlib/control_table.h"
#include "winlib/modal_form_win.h"

namespace relinka {

enum AjudaControlId : int { kAjudaCommand1 = 201, kAjudaText1, kAjudaLabel1 };

inline constexpr FormSpec kAjudaForm{.caption = L"Ajuda",
                                     .client_width = 6180,
                                     .client_height = 4785,
                                     .resizable = true,
                                     .minimize_box = true,
                                     .maximize_box = true,
                                     .icon = IDI_AJUDA};

// In tab order.
// clang-format off
inline constexpr std::array kAjudaControls{
    button(L"Command1", kAjudaCommand1, L"Retornar", {4560, 3600, 1335, 975}, bold_sans(975), rgb(255, 128, 128), IDI_RETORNAR),
    multi_line_text(L"Text1", kAjudaText1, kHelpText, {360, 960, 5535, 2415}, bold_sans(975)).read_as(L"Texto da ajuda"),
    label(L"Label1", kAjudaLabel1, L"Relinka amigos", {720, 120, 4935, 735}, bold_serif(2775), rgb(0, 0, 255)),
};
// clang-format on

class AjudaWindow : public ModalForm {
public:
    AjudaWindow() : ModalForm(kAjudaForm, kAjudaControls) {}

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace relinka
