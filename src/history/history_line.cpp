#include "history/history_line.h"

#include <algorithm>

#include "history/utf8.h"

namespace relinka {

namespace {

constexpr std::size_t kLongestCallsign = 200;  // bytes: far more than any callsign box holds in practice

bool is_control(char32_t c) { return c < 0x20 || c == 0x7F; }

std::string field(std::wstring text) {
    std::replace_if(
        text.begin(), text.end(), [](wchar_t c) { return is_control(c); }, L' ');
    return to_utf8(text);
}

// At most `size` bytes, never ending inside a character.
void cut(std::string& text, std::size_t size) {
    if (text.size() <= size) return;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) --size;
    text.resize(size);
}

std::optional<std::wstring> text_field(std::string_view bytes) {
    std::optional<std::wstring> text = from_utf8(bytes);
    if (text && std::any_of(text->begin(), text->end(), [](wchar_t c) { return is_control(c); }))
        return std::nullopt;
    return text;
}

bool names_a_station(EventKind kind) {
    return kind == EventKind::Connected || kind == EventKind::Disconnected || kind == EventKind::Unticked;
}

}  // namespace

std::string format_line(const Event& event) {
    std::string line = format_time(event.time) + '\t';
    if (event.slot > 0) line += std::to_string(event.slot);
    std::string callsign = field(event.callsign);
    cut(callsign, kLongestCallsign);
    line += '\t' + callsign + '\t' + word_of(event.kind);
    if (!event.detail.empty()) line += ' ' + field(event.detail);
    cut(line, kLongestHistoryLine - 2);
    return line + "\r\n";
}

std::optional<Event> parse_line(std::string_view line) {
    if (line.size() > kLongestHistoryLine - 2) return std::nullopt;
    std::string_view fields[4];
    for (int i = 0; i < 3; ++i) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) return std::nullopt;
        fields[i] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    fields[3] = line;
    Event event;
    const std::optional<LocalTime> time = parse_time(fields[0]);
    if (!time) return std::nullopt;
    event.time = *time;
    if (fields[1].size() == 1 && fields[1][0] >= '1' && fields[1][0] <= '8')
        event.slot = fields[1][0] - '0';
    else if (!fields[1].empty())
        return std::nullopt;
    const std::optional<std::wstring> callsign = text_field(fields[2]);
    const std::size_t space = std::min(fields[3].find(' '), fields[3].size());
    const std::optional<EventKind> kind = kind_named(fields[3].substr(0, space));
    const std::optional<std::wstring> detail =
        text_field(space < fields[3].size() ? fields[3].substr(space + 1) : std::string_view());
    if (!callsign || fields[2].size() > kLongestCallsign || !kind || !detail) return std::nullopt;
    if (names_a_station(*kind) && (event.slot == 0 || callsign->empty())) return std::nullopt;
    event.callsign = *callsign;
    event.kind = *kind;
    event.detail = *detail;
    return event;
}

std::vector<Event> read_tail(std::string_view bytes, bool from_start) {
    if (from_start && bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    if (!from_start) {
        const std::size_t end = bytes.find('\n');
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    std::vector<Event> events;
    for (std::size_t end; (end = bytes.find('\n')) != std::string_view::npos;) {
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (std::optional<Event> event = parse_line(line)) events.push_back(std::move(*event));
    }
    return events;
}

}  // namespace relinka
