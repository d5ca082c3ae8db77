#include "windows/historico_win.h"

#include <commctrl.h>

#include <span>

#include "history/history_line.h"
#include "winlib/clipboard_win.h"
#include "winlib/system_message_win.h"
#include "winlib/twips_win.h"

namespace relinka {

namespace {

constexpr UINT_PTR kAgeTimer = 1;
constexpr UINT kAgeEvery = 30'000;  // ms: "há quanto tempo" moves on while nothing happens

// Column widths in twips, each a heading's or its cells' width at the window's font.
constexpr int kStationColumnWidths[kSummaryColumns.size()] = {375, 1260, 1170, 1575, 1560, 1395, 1650};
constexpr int kEventColumnWidths[kEventColumns.size()] = {1650, 375, 1350, 5655};

struct Columns {
    int table;
    std::span<const wchar_t* const> headings;
    std::span<const int> widths;
};
constexpr Columns kColumns[] = {{kHistoricoStations, kSummaryColumns, kStationColumnWidths},
                                {kHistoricoEvents, kEventColumns, kEventColumnWidths}};

}  // namespace

void HistoricoWindow::add_columns() {
    for (const Columns& columns : kColumns) {
        const HWND table = control(columns.table);
        SendMessageW(table, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
                     LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        for (std::size_t i = 0; i < columns.headings.size(); ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = const_cast<wchar_t*>(columns.headings[i]);
            column.cx = twips_to_pixels(columns.widths[i], dpi());
            column.iSubItem = static_cast<int>(i);
            SendMessageW(table, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
    }
    SetTimer(hwnd(), kAgeTimer, kAgeEvery, nullptr);
}

// At a new resolution the fonts grow, and the columns with them.
void HistoricoWindow::size_columns() {
    for (const Columns& columns : kColumns)
        for (std::size_t i = 0; i < columns.widths.size(); ++i)
            SendMessageW(control(columns.table), LVM_SETCOLUMNWIDTH, i,
                         twips_to_pixels(columns.widths[i], dpi()));
}

void HistoricoWindow::refresh() {
    if (!hwnd()) return;
    if (!columns_added_) {
        add_columns();
        columns_added_ = true;
    }
    const LocalTime now = source_.now();
    stations_.clear();
    for (const StationSummary& summary : source_.summaries(now))
        stations_.push_back(summary_row(summary, now));
    SendMessageW(control(kHistoricoStations), LVM_SETITEMCOUNT, stations_.size(), 0);
    SendMessageW(control(kHistoricoEvents), LVM_SETITEMCOUNT, source_.events().size(), 0);
    InvalidateRect(control(kHistoricoStations), nullptr, FALSE);
    InvalidateRect(control(kHistoricoEvents), nullptr, FALSE);
    SetWindowTextW(control(kHistoricoFileState), source_.file_state().c_str());
}

// The tables ask for each cell as they draw it, or as a screen reader reads it.
void HistoricoWindow::fill_cell(NMLVDISPINFOW& cell) {
    LVITEMW& item = cell.item;
    if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iSubItem < 0) return;
    const auto row = static_cast<std::size_t>(item.iItem);
    const auto column = static_cast<std::size_t>(item.iSubItem);
    std::wstring text;
    if (cell.hdr.idFrom == kHistoricoStations) {
        if (row < stations_.size() && column < stations_[row].size()) text = stations_[row][column];
    } else {
        const std::deque<Event>& events = source_.events();
        if (row < events.size() && column < kEventColumns.size())
            text = event_row(events[events.size() - 1 - row])[column];  // newest first
    }
    if (item.cchTextMax > 0) lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
}

void HistoricoWindow::copy() {
    const LocalTime now = source_.now();
    copy_to_clipboard(hwnd(), history_text(source_.summaries(now), source_.events(), now));
}

LRESULT HistoricoWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(lparam)->code == LVN_GETDISPINFOW) {
                fill_cell(*reinterpret_cast<NMLVDISPINFOW*>(lparam));
                return 0;
            }
            break;
        case WM_COMMAND:
            if (HIWORD(wparam) != BN_CLICKED) break;
            switch (LOWORD(wparam)) {
                case kHistoricoCopiar:
                    copy();
                    return 0;
                case kHistoricoAbrir:
                    source_.open_file(hwnd());
                    return 0;
                case kHistoricoFechar:
                case IDCANCEL:  // Esc
                    DestroyWindow(hwnd());
                    return 0;
            }
            break;
        case kOpenFailed:
            MessageBoxW(hwnd(),
                        (std::wstring(L"Não foi possível abrir ") + kHistoryFile + L":\n\n" +
                         system_message(static_cast<DWORD>(wparam)))
                            .c_str(),
                        L"Relinka", MB_OK | MB_ICONEXCLAMATION);
            return 0;
        case WM_TIMER:
            if (wparam == kAgeTimer) refresh();
            return 0;
        case WM_DPICHANGED: {
            const LRESULT result = Form::handle(message, wparam, lparam);
            size_columns();
            return result;
        }
    }
    return Form::handle(message, wparam, lparam);
}

}  // namespace relinka
