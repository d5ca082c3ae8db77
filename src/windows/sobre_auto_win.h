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

inline constexpr FormSpec kSobreAutoForm{L"Sobre", 4680, 5655, false, false, false, IDI_SOBRE_WINDOW};

constexpr ControlSpec sobre_label(const wchar_t* name, int id, const wchar_t* caption, int left, int top,
                                  int width, int height, FontSpec font, ColourValue fore, int tab_index) {
    return {name, id,   ControlKind::Label, caption,     left,  top,      width, height,
            font, fore, kDefaultColour,     Align::Left, false, tab_index};
}

constexpr ControlSpec sobre_line(const wchar_t* name, int id, int top) {
    return {name, id, ControlKind::Line, L"", 120, top, 4560 - 120, 0, kWindowFont};
}

// In tab order; the lines take no focus.
inline constexpr std::array kSobreAutoControls{
    sobre_label(L"Label3", kSobreLabel3, kAboutFirm, 120, 2520, 4455, 375, bold_sans(825), kDefaultColour, 0),
    sobre_label(L"Label2", kSobreLabel2, kAboutCreatedBy, 240, 1440, 4095, 495, bold_sans(1350),
                rgb(0, 128, 0), 1),
    sobre_label(L"Label1", kSobreLabel1, L"Relinka", 1200, 240, 3255, 615, bold_sans(2400),
                kSystemActiveTitleColour, 2),
    sobre_label(L"Label5", kSobreLabel5, L"QX0QX", 1440, 1800, 1455, 615, bold_serif(2400),
                kSystemDesktopColour, 3),
    sobre_label(L"Label4", kSobreLabel4, kAboutVersion, 1200, 840, 3015, 375, bold_sans(825), kDefaultColour,
                4),
    ControlSpec{L"ret", kSobreRet, ControlKind::Button, L"Retornar", 3000, 4320, 1455, 1095, bold_sans(825),
                kDefaultColour, rgb(255, 192, 192), Align::Left, false, 5, IDI_RETORNAR},
    ControlSpec{L"Label6", kSobreLabel6, ControlKind::Label, kAboutDonation, 120, 3120, 4455, 855,
                kWindowFont, kDefaultColour, kDefaultColour, Align::Centre, false, 6},
    ControlSpec{L"Command1", kSobreCommand1, ControlKind::Button, L"Visitar Servidor  QX0QX", 240, 4320, 2295,
                1095, bold_sans(825), kDefaultColour, rgb(192, 255, 255), Align::Left, false, 7, IDI_VISITAR},
    ControlSpec{L"AniGIF2", kSobreAniGIF2, ControlKind::Animation, L"", 240, 0, 735, 1335, kWindowFont,
                kDefaultColour, kDefaultColour, Align::Left, false, 8, IDG_ABOUT_MAST},
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
