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
#include "win32/control_table.h"
#include "win32/form_win.h"

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

// Rows across the window: a table's title, the table, the line about the file.
constexpr ControlSpec historico_label(const wchar_t* name, int id, const wchar_t* caption, int top,
                                      int height) {
    return {.name = name,
            .id = id,
            .kind = ControlKind::Label,
            .caption = caption,
            .left = 120,
            .top = top,
            .width = 9360,
            .height = height};
}
constexpr ControlSpec historico_table(const wchar_t* name, int id, const wchar_t* accessible_name, int top,
                                      int height) {
    return {.name = name,
            .id = id,
            .kind = ControlKind::Table,
            .left = 120,
            .top = top,
            .width = 9360,
            .height = height,
            .accessible_name = accessible_name};
}
// The buttons along the bottom, in the system's button colours.
constexpr ControlSpec historico_button(const wchar_t* caption, int id, int left, int width) {
    return {.name = caption,
            .id = id,
            .kind = ControlKind::Button,
            .caption = caption,
            .left = left,
            .top = 6840,
            .width = width,
            .height = 375,
            .back = kSystemButtonFaceColour};
}

// In tab order; each table's title goes before it, which is where screen readers look for its name too.
inline constexpr std::array kHistoricoControls{
    historico_label(L"TituloEstacoes", kHistoricoStationsTitle,
                    L"Estações supervisionadas (últimas 24 horas):", 120, 255),
    historico_table(L"Estacoes", kHistoricoStations, L"Estações supervisionadas", 420, 2400),
    historico_label(L"TituloEventos", kHistoricoEventsTitle, L"Eventos, do mais novo ao mais antigo:", 2940,
                    255),
    historico_table(L"Eventos", kHistoricoEvents, L"Eventos", 3240, 2880),
    historico_label(L"Arquivo", kHistoricoFileState, L"", 6180, 570),
    historico_button(L"Copiar", kHistoricoCopiar, 5160, 1215),
    historico_button(L"Abrir arquivo", kHistoricoAbrir, 6480, 1575),
    historico_button(L"Fechar", kHistoricoFechar, 8160, 1320),
};

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
    static constexpr UINT kOpenFailed = WM_APP + 48;

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
