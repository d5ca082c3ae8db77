#include "history/history_text.h"

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

}  // namespace relinka
