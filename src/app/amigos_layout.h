#pragma once
// The main window `amigos` and its controls, in tab order.
#include <array>

#include "app/amigos_form.h"
#include "resources.h"
#include "winlib/control_table.h"

namespace relinka {

enum AmigosControlId : int {
    kText1 = 101,  // Text1..Text8, the callsign boxes: kText1 + slot - 1
    kText9 = 109,  // the callsign to disconnect by hand
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

// Text1..Text9: the box's control id.
constexpr int text_box_id(int box) { return box == kDropBox ? kText9 : kText1 + box - 1; }

inline constexpr FormSpec kAmigosForm{.caption = L"  Relinka",
                                      .client_width = 7575,
                                      .client_height = 8805,
                                      .resizable = true,
                                      .minimize_box = true,
                                      .maximize_box = false,
                                      .icon = IDI_RELINKA};

// The slots' rows: Text1..Text8, Check1..Check8 and Label1..Label8 are named by their slot.
constexpr ControlSpec callsign_box(int slot) {
    constexpr const wchar_t* names[] = {L"Estação amiga 1", L"Estação amiga 2", L"Estação amiga 3",
                                        L"Estação amiga 4", L"Estação amiga 5", L"Estação amiga 6",
                                        L"Estação amiga 7", L"Estação amiga 8"};
    return text_box(L"Text", kText1 + slot - 1, {600, 2160 + 480 * (slot - 1), 2295, 375}, bold_sans(975))
        .read_as(names[slot - 1]);
}

constexpr ControlSpec connect_box(int slot) {
    constexpr int tops[] = {2160, 2640, 3120, 3600, 4080, 4560, 5040, 5640};
    constexpr int heights[] = {375, 255, 255, 255, 255, 255, 375, 255};
    constexpr const wchar_t* captions[] = {L"conecta 1", L"conecta 2", L"conecta 3", L"conecta 4",
                                           L"conecta 5", L"conecta 6", L"conecta 7", L"conecta 8"};
    return check_box(L"Check", kCheck1 + slot - 1, captions[slot - 1],
                     {3600, tops[slot - 1], 1095, heights[slot - 1]});
}

constexpr ControlSpec status_label(int slot) {
    return label(L"Label", kLabel1 + slot - 1, L"", {5280, 2160 + 480 * (slot - 1), 1695, 375},
                 bold_sans(975))
        .centred()
        .bordered();
}

inline constexpr ColourValue kWhite = rgb(255, 255, 255), kBlue = rgb(0, 0, 255), kCyan = rgb(0, 255, 255),
                             kYellow = rgb(255, 255, 0), kTeal = rgb(0, 128, 128);
// Label10's caption.
inline constexpr wchar_t kMinimizeNote[] = L"OBS: Para que a seleção fique ativa, somente minimize a janela.";

// In tab order.
// clang-format off
inline constexpr std::array kAmigosControls{
    button(L"Command1", kCommand1, L"Encerrar", {5880, 6240, 1215, 1095}, bold_sans(975), kRed, IDI_ENCERRAR),
    callsign_box(1),
    callsign_box(2),
    callsign_box(3),
    callsign_box(4),
    callsign_box(5),
    callsign_box(6),
    connect_box(1),
    connect_box(2),
    connect_box(3),
    connect_box(4),
    connect_box(5),
    connect_box(6),
    callsign_box(7),
    callsign_box(8),
    connect_box(7),
    connect_box(8),
    label(L"Label9", kLabel9, L"Relinka amigos", {360, 1200, 4815, 855}, bold_serif(2775), kBlue).centred().under_the_others(),
    group_box(L"Frame1", kFrame1, L"Estações amigas", {360, 1920, 2775, 4215}),
    group_box(L"Frame2", kFrame2, L"Ação", {3360, 1920, 1455, 4215}),
    group_box(L"Frame3", kFrame3, L"Estado", {5040, 1920, 2175, 4215}),
    status_label(1),
    status_label(2),
    status_label(3),
    status_label(4),
    status_label(5),
    status_label(6),
    status_label(7),
    status_label(8),
    group_box(L"Frame4", kFrame4, L"Estação", {240, 7320, 6015, 1215}),
    text_box(L"Text9", kText9, {360, 7800, 1695, 375}, bold_sans(975)).read_as(L"Estação a desconectar"),
    button(L"Command2", kCommand2, L"Desconectar amigo", {2160, 7560, 1935, 855}, bold_sans(825), rgb(255, 192, 128), IDI_DESCONECTAR),
    button(L"ler", kLer, L"Ler amigos", {1800, 6240, 1455, 975}, bold_sans(825), kCyan, IDI_LER),
    button(L"gravar", kGravar, L"Gravar amigos", {240, 6240, 1455, 975}, bold_sans(825), kGreen, IDI_GRAVAR),
    button(L"sobre", kSobre, L"Sobre", {4560, 6240, 975, 975}, bold_sans(825), kYellow, IDI_SOBRE),
    label(L"Label10", kLabel10, kMinimizeNote, {240, 8520, 5775, 255}, bold_sans(825), rgb(192, 0, 0)),
    banner(L"Picture1", kPicture1, {240, 120, 7095, 1095}, kWhite),
    image(L"Image1", kImage1, {840, 240, 4110, 765}, IDB_LOGO).on(kWhite).read_as(L"Logotipo do Relinka"),
    animation(L"AniGIF1", kAniGIF1, {240, 120, 615, 855}, IDG_BANNER_TOWER).on(kWhite).read_as(L"Torre de antena"),
    label(L"Label11", kLabel11, L"relinkação", {3360, 960, 1335, 255}, bold_serif(1200), kBlue).on(kWhite),
    button(L"Command3", kCommand3, L"Ajuda", {3480, 6240, 975, 975}, bold_sans(825), rgb(255, 192, 128), IDI_AJUDA),
    animation(L"AniGIF2", kAniGIF2, {5040, 120, 2295, 1095}, IDG_BANNER_LINK).on(kWhite).read_as(L"Duas estações ligadas"),
    button(L"Command4", kCommand4, L"Desliga", {6120, 1560, 975, 375}, bold_sans(825), rgb(255, 192, 255)),
    button(L"Command5", kCommand5, L"Liga", {6120, 1200, 975, 375}, bold_sans(825), rgb(255, 192, 255)),
    button(L"Command6", kCommand6, L"Desconecta todos", {4200, 7560, 1935, 855}, bold_sans(825), kTeal, IDI_DESCONECTAR_TODOS),
    indicator(L"Shape1", kShape1, {5400, 1320, 615, 495}, kRed),
};
// clang-format on

}  // namespace relinka
