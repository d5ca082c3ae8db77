#pragma once
// The window "Histórico de conexões": each supervised station's state and its last 24 hours, the events
// newest first, whether historico.txt is being written, and "Copiar", "Abrir arquivo" and "Fechar".
// Modeless: the main window and the supervision go on while it is open, and it follows them.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "history/history_text.h"
#include "resources.h"
#include "winlib/control_table.h"
#include "winlib/form_win.h"
#include "winlib/private_messages_win.h"

namespace relinka {

enum HistoricoControlId : int {
    kHistoricoStationsTitle = 401,
    kHistoricoStations,
    kHistoricoEventsTitle,
    kHistoricoEvents,
    kHistoricoFileState,
    kHistoricoCopiar,
    kHistoricoAbrir,
    kHistoricoFechar,
};

inline constexpr FormSpec kHistoricoForm{.caption = L"Histórico de conexões",
                                         .client_width = 9600,
                                         .client_height = 7320,
                                         .resizable = false,
                                         .minimize_box = true,
                                         .maximize_box = false,
                                         .icon = IDI_RELINKA};

// In tab order; each table's title goes before it, which is where screen readers look for its name too.
// The buttons along the bottom are in the system's button colours.
// clang-format off
inline constexpr std::array kHistoricoControls{
    label(L"TituloEstacoes", kHistoricoStationsTitle, L"Estações supervisionadas (últimas 24 horas):", {120, 120, 9360, 255}),
    table(L"Estacoes", kHistoricoStations, {120, 420, 9360, 2400}, L"Estações supervisionadas"),
    label(L"TituloEventos", kHistoricoEventsTitle, L"Eventos, do mais novo ao mais antigo:", {120, 2940, 9360, 255}),
    table(L"Eventos", kHistoricoEvents, {120, 3240, 9360, 2880}, L"Eventos"),
    label(L"Arquivo", kHistoricoFileState, L"", {120, 6180, 9360, 570}),
    button(L"Copiar", kHistoricoCopiar, L"Copiar", {5160, 6840, 1215, 375}, kWindowFont, kSystemButtonFaceColour),
    button(L"Abrir arquivo", kHistoricoAbrir, L"Abrir arquivo", {6480, 6840, 1575, 375}, kWindowFont, kSystemButtonFaceColour),
    button(L"Fechar", kHistoricoFechar, L"Fechar", {8160, 6840, 1320, 375}, kWindowFont, kSystemButtonFaceColour),
};
// clang-format on

// What the window shows, and where "Abrir arquivo" goes.
class HistorySource {
public:
    virtual ~HistorySource() = default;
    virtual LocalTime now() = 0;
    virtual std::vector<StationSummary> summaries(LocalTime now) = 0;
    virtual const std::deque<Event>& events() = 0;  // oldest first
    // Whether historico.txt is being written, and if not, why.
    virtual std::wstring file_state() = 0;
    // Opens historico.txt in the operator's editor; `window` is told of a failure with kOpenFailed.
    virtual void open_file(HWND window) = 0;
};

class HistoricoWindow : public Form {
public:
    // Posted with the system's error code when "Abrir arquivo" could not open the file.
    static constexpr UINT kOpenFailed = kFirstFreeMessage;

    explicit HistoricoWindow(HistorySource& source)
        : Form(kHistoricoForm, kHistoricoControls), source_(source) {}
    // Shows it afresh from the source: called whenever the history changes.
    void refresh();

protected:
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void add_columns();
    void size_columns();
    void fill_cell(NMLVDISPINFOW& cell);
    void copy();

    HistorySource& source_;
    bool columns_added_ = false;
    std::vector<Row> stations_;  // as shown
};

}  // namespace relinka
