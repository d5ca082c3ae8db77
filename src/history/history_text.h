#pragma once
// The history as the window shows it and "Copiar" copies it: a row of cells per station and per event.
#include <array>
#include <deque>
#include <string>
#include <vector>

#include "history/history.h"
#include "history/history_writer.h"

namespace relinka {

using Row = std::vector<std::wstring>;

inline constexpr std::array<const wchar_t*, 7> kSummaryColumns = {
    L"Nº", L"Estação", L"Estado", L"Desde", L"Há quanto tempo", L"Quedas em 24 h", L"Conectado em 24 h"};
inline constexpr std::array<const wchar_t*, 4> kEventColumns = {L"Data e hora", L"Nº", L"Estação", L"Evento"};

Row summary_row(const StationSummary& summary, LocalTime now);
Row event_row(const Event& event);
// The stations, then the events newest first, a row a line with its cells separated by tabs, each table
// under its headings.
std::wstring history_text(const std::vector<StationSummary>& summaries, const std::deque<Event>& events,
                          LocalTime now);

// Whether historico.txt, in `folder`, is being written: where it is, or why not and what waits for it.
std::wstring file_state_text(const std::wstring& folder, const StorageResult& failure, std::size_t waiting,
                             std::size_t lost);

}  // namespace relinka
