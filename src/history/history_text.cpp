#include "history/history_text.h"

#include "history/history_line.h"

namespace relinka {

namespace {

constexpr const wchar_t* kNone = L"—";

std::wstring slot_text(int slot) { return slot ? std::to_wstring(slot) : L""; }

// Rounded down, so that a day with a drop never reads 100 %.
std::wstring share_text(const StationSummary& summary) {
    if (summary.supervised_seconds <= 0) return kNone;
    return std::to_wstring(summary.connected_seconds * 100 / summary.supervised_seconds) + L" %";
}

void append_line(std::wstring& text, const Row& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) text += (i ? L"\t" : L"") + cells[i];
    text += L"\r\n";
}

template <class Columns>
Row headings(const Columns& columns) {
    return Row(columns.begin(), columns.end());
}

}  // namespace

Row summary_row(const StationSummary& summary, LocalTime now) {
    const bool read = summary.connected.has_value();
    return {slot_text(summary.slot),
            summary.callsign,
            read ? (*summary.connected ? L"conectado" : L"desconectado") : kNone,
            summary.since ? display_time(*summary.since) : kNone,
            summary.since ? display_age(*summary.since, now) : kNone,
            std::to_wstring(summary.drops),
            share_text(summary)};
}

Row event_row(const Event& event) {
    return {display_time(event.time), slot_text(event.slot), event.callsign, event_text(event)};
}

std::wstring history_text(const std::vector<StationSummary>& summaries, const std::deque<Event>& events,
                          LocalTime now) {
    std::wstring text;
    append_line(text, headings(kSummaryColumns));
    for (const StationSummary& summary : summaries) append_line(text, summary_row(summary, now));
    text += L"\r\n";
    append_line(text, headings(kEventColumns));
    for (auto event = events.rbegin(); event != events.rend(); ++event) append_line(text, event_row(*event));
    return text;
}

std::wstring file_state_text(const std::wstring& folder, const StorageResult& failure, std::size_t waiting,
                             std::size_t lost) {
    std::wstring text;
    if (failure) {
        text = std::wstring(kHistoryFile) + L" não está sendo gravado: " + unwritable_reason(*failure) + L".";
        if (waiting)
            text += L" " + std::to_wstring(waiting) +
                    (waiting == 1 ? L" evento espera na memória e será gravado"
                                  : L" eventos esperam na memória e serão gravados") +
                    L" assim que for possível.";
    } else {
        text = L"Os eventos são gravados em " + std::wstring(kHistoryFile) + L", na pasta " + folder + L".";
    }
    if (lost)
        text += L" " + std::to_wstring(lost) +
                (lost == 1 ? L" evento não coube na memória e se perdeu."
                           : L" eventos não couberam na memória e se perderam.");
    return text;
}

}  // namespace relinka
