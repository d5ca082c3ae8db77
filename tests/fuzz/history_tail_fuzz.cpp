// Fuzzing the history file's tail reader: arbitrary bytes, the whole file or its end, must read without
// fault, and every event read must come back the same from the line the program would write for it.
//
// An input is whether the bytes start the file (its first byte, odd: yes), then the bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "history/history_line.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "history tail reader: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool from_start = data[0] & 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t line_ends = 0;
    for (char byte : bytes) line_ends += byte == '\n';
    const std::vector<relinka::Event> events = relinka::read_tail(bytes, from_start);
    if (events.size() > line_ends) fail("more events than line ends");
    for (const relinka::Event& event : events) {
        if (event.slot < 0 || event.slot > 8) fail("a slot out of 1 to 8");
        const std::string line = relinka::format_line(event);
        if (line.size() > relinka::kLongestHistoryLine || !line.ends_with("\r\n")) fail("a line not whole");
        if (relinka::parse_line(std::string_view(line).substr(0, line.size() - 2)) != event)
            fail("an event that does not come back from its own line");
    }
    return 0;
}
