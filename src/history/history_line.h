#pragma once
// historico.txt: UTF-8 with a byte-order mark, one event a line ended by CR LF, four fields separated by
// a tab: the local time with its offset, the slot (or nothing), the callsign as passed to EchoLink (or
// nothing), and the event's word with its detail after a space.
//   2026-12-09 14:02:11 -03:00<TAB>3<TAB>PY2ABC-R<TAB>desconectado
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/event.h"

namespace relinka {

inline constexpr const wchar_t* kHistoryFile = L"historico.txt";
// What historico.txt becomes when it reaches its size, replacing the one before.
inline constexpr const wchar_t* kPreviousHistoryFile = L"historico-anterior.txt";

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The longest line written, its end included; longer lines are none of ours, and are skipped when read.
inline constexpr std::size_t kLongestHistoryLine = 1024;

// The line, CR LF included. A callsign or detail too long for a line is cut; control characters,
// which would break the line apart, become spaces.
std::string format_line(const Event& event);
// One line without its end; nothing when it is not a line that format_line could have written.
std::optional<Event> parse_line(std::string_view line);

// The events of the last bytes of a file, in the file's order: `from_start` when the bytes are the whole
// file (a byte-order mark is then skipped), else the first, partial line is skipped. The lines that
// cannot be read, and a last line without its end (torn by a power cut), are skipped.
std::vector<Event> read_tail(std::string_view bytes, bool from_start);

}  // namespace relinka
