#pragma once
// The About window `sobre_auto`: the program, its version and author, a plea for donations, and a
// button that opens the author's web page.
#include <array>

#include "resources.h"
#include "windows/texts.h"
#include "winlib/control_table.h"
#include "winlib/modal_form_win.h"
#include "winlib/shell_open_win.h"

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

// In tab order; the lines take no focus.
// clang-format off
inline constexpr std::array kSobreAutoControls{
    label(L"Label3", kSobreLabel3, kAboutFirm, {120, 2520, 4455, 375}, bold_sans(825)),
    label(L"Label2", kSobreLabel2, kAboutCreatedBy, {240, 1440, 4095, 495}, bold_sans(1350), rgb(0, 128, 0)),
    label(L"Label1", kSobreLabel1, L"Relinka", {1200, 240, 3255, 615}, bold_sans(2400), kSystemActiveTitleColour),
    label(L"Label5", kSobreLabel5, L"QX0QX", {1440, 1800, 1455, 615}, bold_serif(2400), kSystemDesktopColour),
    label(L"Label4", kSobreLabel4, kAboutVersion, {1200, 840, 3015, 375}, bold_sans(825)),
    button(L"ret", kSobreRet, L"Retornar", {3000, 4320, 1455, 1095}, bold_sans(825), rgb(255, 192, 192), IDI_RETORNAR),
    label(L"Label6", kSobreLabel6, kAboutDonation, {120, 3120, 4455, 855}).centred(),
    button(L"Command1", kSobreCommand1, L"Visitar Servidor  QX0QX", {240, 4320, 2295, 1095}, bold_sans(825), rgb(192, 255, 255), IDI_VISITAR),
    animation(L"AniGIF2", kSobreAniGIF2, {240, 0, 735, 1335}, IDG_ABOUT_MAST).read_as(L"Torre de antena"),
    line(L"Line1", kSobreLine1, 120, 1320, 4560 - 120),
    line(L"Line2", kSobreLine2, 120, 3000, 4560 - 120),
    line(L"Line3", kSobreLine3, 120, 4080, 4560 - 120),
};
// clang-format on

class SobreAutoWindow : public ModalForm {
public:
    // `shell` opens the author's web page.
    explicit SobreAutoWindow(Shell& shell) : ModalForm(kSobreAutoForm, kSobreAutoControls), shell_(shell) {}

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    Shell& shell_;
};

}  // namespace relinka
