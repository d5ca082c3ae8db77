#pragma once
// The About window `sobre_auto`: the program, its version and author, a plea for donations, and a
// button that opens the author's web page.
#include <array>

#include "resources.h"
#include "win32/control_table.h"
#include "win32/modal_form_win.h"
#include "win32/windows_desktop_win.h"
#include "windows/texts.h"

namespace relinka {

enum SobreAutoControlId : int {
    kSobreLabel1 = 301,
    kSobreLabel2,
    kSobreLabel3,
    kSobreLabel4,
    kSobreLabel5,
    kSobreLabel6,
    kSobreCommand1,
    kSobreRet,
    kSobreAniGIF2,
    kSobreLine1,
    kSobreLine2,
    kSobreLine3,
};

inline constexpr FormSpec kSobreAutoForm{.caption = L"Sobre",
                                         .client_width = 4680,
                                         .client_height = 5655,
                                         .resizable = false,
                                         .minimize_box = false,
                                         .maximize_box = false,
                                         .icon = IDI_SOBRE_WINDOW};

// A horizontal rule across the window.
constexpr ControlSpec sobre_line(const wchar_t* name, int id, int top) {
    return {.name = name,
            .id = id,
            .kind = ControlKind::Line,
            .left = 120,
            .top = top,
            .width = 4560 - 120,
            .height = 0};
}

// In tab order; the lines take no focus.
inline constexpr std::array kSobreAutoControls{
    ControlSpec{.name = L"Label3",
                .id = kSobreLabel3,
                .kind = ControlKind::Label,
                .caption = kAboutFirm,
                .left = 120,
                .top = 2520,
                .width = 4455,
                .height = 375,
                .font = bold_sans(825),
                .tab_index = 0},
    ControlSpec{.name = L"Label2",
                .id = kSobreLabel2,
                .kind = ControlKind::Label,
                .caption = kAboutCreatedBy,
                .left = 240,
                .top = 1440,
                .width = 4095,
                .height = 495,
                .font = bold_sans(1350),
                .fore = rgb(0, 128, 0),
                .tab_index = 1},
    ControlSpec{.name = L"Label1",
                .id = kSobreLabel1,
                .kind = ControlKind::Label,
                .caption = L"Relinka",
                .left = 1200,
                .top = 240,
                .width = 3255,
                .height = 615,
                .font = bold_sans(2400),
                .fore = kSystemActiveTitleColour,
                .tab_index = 2},
    ControlSpec{.name = L"Label5",
                .id = kSobreLabel5,
                .kind = ControlKind::Label,
                .caption = L"QX0QX",
                .left = 1440,
                .top = 1800,
                .width = 1455,
                .height = 615,
                .font = bold_serif(2400),
                .fore = kSystemDesktopColour,
                .tab_index = 3},
    ControlSpec{.name = L"Label4",
                .id = kSobreLabel4,
                .kind = ControlKind::Label,
                .caption = kAboutVersion,
                .left = 1200,
                .top = 840,
                .width = 3015,
                .height = 375,
                .font = bold_sans(825),
                .tab_index = 4},
    ControlSpec{.name = L"ret",
                .id = kSobreRet,
                .kind = ControlKind::Button,
                .caption = L"Retornar",
                .left = 3000,
                .top = 4320,
                .width = 1455,
                .height = 1095,
                .font = bold_sans(825),
                .back = rgb(255, 192, 192),
                .tab_index = 5,
                .picture = IDI_RETORNAR},
    ControlSpec{.name = L"Label6",
                .id = kSobreLabel6,
                .kind = ControlKind::Label,
                .caption = kAboutDonation,
                .left = 120,
                .top = 3120,
                .width = 4455,
                .height = 855,
                .align = Align::Centre,
                .tab_index = 6},
    ControlSpec{.name = L"Command1",
                .id = kSobreCommand1,
                .kind = ControlKind::Button,
                .caption = L"Visitar Servidor  QX0QX",
                .left = 240,
                .top = 4320,
                .width = 2295,
                .height = 1095,
                .font = bold_sans(825),
                .back = rgb(192, 255, 255),
                .tab_index = 7,
                .picture = IDI_VISITAR},
    ControlSpec{.name = L"AniGIF2",
                .id = kSobreAniGIF2,
                .kind = ControlKind::Animation,
                .left = 240,
                .top = 0,
                .width = 735,
                .height = 1335,
                .tab_index = 8,
                .picture = IDG_ABOUT_MAST,
                .accessible_name = L"Torre de antena"},
    sobre_line(L"Line1", kSobreLine1, 1320),
    sobre_line(L"Line2", kSobreLine2, 3000),
    sobre_line(L"Line3", kSobreLine3, 4080),
};

class SobreAutoWindow : public ModalForm {
public:
    explicit SobreAutoWindow(WindowsDesktop& desktop)
        : ModalForm(kSobreAutoForm, kSobreAutoControls), desktop_(desktop) {}

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    WindowsDesktop& desktop_;
};

}  // namespace relinka
