#pragma once
// The main window `amigos` and its controls, in tab order.
#include <array>

#include "app/amigos_form.h"
#include "resources.h"
#include "win32/control_table.h"

namespace relinka {

enum AmigosControlId : int {
    kText1 = 101,  // kText1 + i - 1 for Text1..Text9
    kCheck1 = 111,
    kLabel1 = 121,
    kCommand1 = 131,  // "Encerrar"
    kCommand2,        // "Desconectar amigo"
    kCommand3,        // "Ajuda"
    kCommand4,        // "Desliga"
    kCommand5,        // "Liga"
    kCommand6,        // "Desconecta todos"
    kGravar,
    kLer,
    kSobre,
    kFrame1 = 151,
    kFrame2,
    kFrame3,
    kFrame4,
    kLabel9,
    kLabel10,
    kLabel11,
    kShape1,
    kPicture1,
    kImage1,
    kAniGIF1,
    kAniGIF2,
};

inline constexpr FormSpec kAmigosForm{L"  Relinka", 7575, 8805, true, true, false, IDI_RELINKA};

constexpr ControlSpec callsign_box(int slot, int tab_index) {
    return {L"Text",
            kText1 + slot - 1,
            ControlKind::TextBox,
            L"",
            600,
            2160 + 480 * (slot - 1),
            2295,
            375,
            bold_sans(975),
            kDefaultColour,
            kDefaultColour,
            Align::Left,
            false,
            tab_index};
}

constexpr ControlSpec check_box(int slot, int tab_index) {
    constexpr int tops[] = {2160, 2640, 3120, 3600, 4080, 4560, 5040, 5640};
    constexpr int heights[] = {375, 255, 255, 255, 255, 255, 375, 255};
    constexpr const wchar_t* captions[] = {L"conecta 1", L"conecta 2", L"conecta 3", L"conecta 4",
                                           L"conecta 5", L"conecta 6", L"conecta 7", L"conecta 8"};
    return {L"Check",
            kCheck1 + slot - 1,
            ControlKind::CheckBox,
            captions[slot - 1],
            3600,
            tops[slot - 1],
            1095,
            heights[slot - 1],
            kWindowFont,
            kDefaultColour,
            kDefaultColour,
            Align::Left,
            false,
            tab_index};
}

constexpr ControlSpec status_label(int slot) {
    return {L"Label",
            kLabel1 + slot - 1,
            ControlKind::Label,
            L"",
            5280,
            2160 + 480 * (slot - 1),
            1695,
            375,
            bold_sans(975),
            kDefaultColour,
            kDefaultColour,
            Align::Centre,
            true,
            20 + slot};
}

constexpr ControlSpec button(const wchar_t* name, int id, const wchar_t* caption, int left, int top,
                             int width, int height, FontSpec font, ColourValue back, int tab_index,
                             int picture) {
    return {name,           id,   ControlKind::Button, caption, left,      top,    width, height, font,
            kDefaultColour, back, Align::Left,         false,   tab_index, picture};
}

constexpr ControlSpec container(const wchar_t* name, int id, ControlKind kind, const wchar_t* caption,
                                int left, int top, int width, int height, ColourValue back, int tab_index) {
    return {name,           id,   kind,        caption, left,      top, width, height, kWindowFont,
            kDefaultColour, back, Align::Left, false,   tab_index, 0,   true};
}

// Text1..Text9, Check1..Check8 and Label1..Label8 are named by their slot: "Text" + number.
inline constexpr std::array kAmigosControls{
    button(L"Command1", kCommand1, L"Encerrar", 5880, 6240, 1215, 1095, bold_sans(975), rgb(255, 0, 0), 0,
           IDI_ENCERRAR),
    callsign_box(1, 1),
    callsign_box(2, 2),
    callsign_box(3, 3),
    callsign_box(4, 4),
    callsign_box(5, 5),
    callsign_box(6, 6),
    check_box(1, 7),
    check_box(2, 8),
    check_box(3, 9),
    check_box(4, 10),
    check_box(5, 11),
    check_box(6, 12),
    callsign_box(7, 13),
    callsign_box(8, 14),
    check_box(7, 15),
    check_box(8, 16),
    ControlSpec{L"Label9", kLabel9, ControlKind::Label, L"Relinka amigos", 360, 1200, 4815, 855,
                bold_serif(2775), rgb(0, 0, 255), kDefaultColour, Align::Centre, false, 17, 0, true},
    container(L"Frame1", kFrame1, ControlKind::GroupBox, L"Estações amigas", 360, 1920, 2775, 4215,
              kDefaultColour, 18),
    container(L"Frame2", kFrame2, ControlKind::GroupBox, L"Ação", 3360, 1920, 1455, 4215, kDefaultColour, 19),
    container(L"Frame3", kFrame3, ControlKind::GroupBox, L"Estado", 5040, 1920, 2175, 4215, kDefaultColour,
              20),
    status_label(1),
    status_label(2),
    status_label(3),
    status_label(4),
    status_label(5),
    status_label(6),
    status_label(7),
    status_label(8),
    container(L"Frame4", kFrame4, ControlKind::GroupBox, L"Estação", 240, 7320, 6015, 1215, kDefaultColour,
              29),
    ControlSpec{L"Text9", kText1 + 8, ControlKind::TextBox, L"", 360, 7800, 1695, 375, bold_sans(975),
                kDefaultColour, kDefaultColour, Align::Left, false, 30},
    button(L"Command2", kCommand2, L"Desconectar amigo", 2160, 7560, 1935, 855, bold_sans(825),
           rgb(255, 192, 128), 31, IDI_DESCONECTAR),
    button(L"ler", kLer, L"Ler amigos", 1800, 6240, 1455, 975, bold_sans(825), rgb(0, 255, 255), 32, IDI_LER),
    button(L"gravar", kGravar, L"Gravar amigos", 240, 6240, 1455, 975, bold_sans(825), rgb(0, 255, 0), 33,
           IDI_GRAVAR),
    button(L"sobre", kSobre, L"Sobre", 4560, 6240, 975, 975, bold_sans(825), rgb(255, 255, 0), 34, IDI_SOBRE),
    ControlSpec{L"Label10", kLabel10, ControlKind::Label,
                L"OBS: Para que a seleção fique ativa, somente minimize a janela.", 240, 8520, 5775, 255,
                bold_sans(825), rgb(192, 0, 0), kDefaultColour, Align::Left, false, 35},
    container(L"Picture1", kPicture1, ControlKind::Banner, L"", 240, 120, 7095, 1095, rgb(255, 255, 255), 36),
    ControlSpec{L"Image1", kImage1, ControlKind::Image, L"", 840, 240, 4110, 765, kWindowFont, kDefaultColour,
                rgb(255, 255, 255), Align::Left, false, -1, IDB_LOGO},
    ControlSpec{L"AniGIF1", kAniGIF1, ControlKind::Animation, L"", 240, 120, 615, 855, kWindowFont,
                kDefaultColour, rgb(255, 255, 255), Align::Left, false, 37, IDG_BANNER_TOWER},
    ControlSpec{L"Label11", kLabel11, ControlKind::Label, L"relinkação", 3360, 960, 1335, 255,
                bold_serif(1200), rgb(0, 0, 255), rgb(255, 255, 255), Align::Left, false, 38},
    button(L"Command3", kCommand3, L"Ajuda", 3480, 6240, 975, 975, bold_sans(825), rgb(255, 192, 128), 39,
           IDI_AJUDA),
    ControlSpec{L"AniGIF2", kAniGIF2, ControlKind::Animation, L"", 5040, 120, 2295, 1095, kWindowFont,
                kDefaultColour, rgb(255, 255, 255), Align::Left, false, 40, IDG_BANNER_LINK},
    button(L"Command4", kCommand4, L"Desliga", 6120, 1560, 975, 375, bold_sans(825), rgb(255, 192, 255), 41,
           0),
    button(L"Command5", kCommand5, L"Liga", 6120, 1200, 975, 375, bold_sans(825), rgb(255, 192, 255), 42, 0),
    button(L"Command6", kCommand6, L"Desconecta todos", 4200, 7560, 1935, 855, bold_sans(825),
           rgb(0, 128, 128), 43, IDI_DESCONECTAR_TODOS),
    ControlSpec{L"Shape1", kShape1, ControlKind::Indicator, L"", 5400, 1320, 615, 495, kWindowFont, kRed,
                kRed},
};

}  // namespace relinka
