#pragma once
// The Help window `Ajuda`: a title, the help text and "Retornar".
#include <array>

#include "resources.h"
#include "win32/control_table.h"
#include "win32/modal_form_win.h"
#include "windows/texts.h"

namespace relinka {

enum AjudaControlId : int { kAjudaCommand1 = 201, kAjudaText1, kAjudaLabel1 };

inline constexpr FormSpec kAjudaForm{.caption = L"Ajuda",
                                     .client_width = 6180,
                                     .client_height = 4785,
                                     .resizable = true,
                                     .minimize_box = true,
                                     .maximize_box = true,
                                     .icon = IDI_AJUDA};

inline constexpr std::array kAjudaControls{
    ControlSpec{.name = L"Command1",
                .id = kAjudaCommand1,
                .kind = ControlKind::Button,
                .caption = L"Retornar",
                .left = 4560,
                .top = 3600,
                .width = 1335,
                .height = 975,
                .font = bold_sans(975),
                .back = rgb(255, 128, 128),
                .tab_index = 0,
                .picture = IDI_RETORNAR},
    ControlSpec{.name = L"Text1",
                .id = kAjudaText1,
                .kind = ControlKind::MultiLineText,
                .caption = kHelpText,
                .left = 360,
                .top = 960,
                .width = 5535,
                .height = 2415,
                .font = bold_sans(975),
                .tab_index = 1,
                .accessible_name = L"Texto da ajuda"},
    ControlSpec{.name = L"Label1",
                .id = kAjudaLabel1,
                .kind = ControlKind::Label,
                .caption = L"Relinka amigos",
                .left = 720,
                .top = 120,
                .width = 4935,
                .height = 735,
                .font = bold_serif(2775),
                .fore = rgb(0, 0, 255),
                .tab_index = 2},
};

class AjudaWindow : public ModalForm {
public:
    AjudaWindow() : ModalForm(kAjudaForm, kAjudaControls) {}

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace relinka
