// Fuzzing the friends-file reader: arbitrary bytes, handed out in arbitrary pieces, must read exactly
// as the reading rule says, with no line past kLongestLine and no read after the eighth line end.
//
// An input is the file's bytes followed by how to build and hand them out, taken from its end: how many
// times the bytes repeat (so that a short input still makes lines longer than kLongestLine), then the
// sizes of the pieces the reads return, used in turn.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "friends/friends_file.h"

namespace {

using relinka::FriendsLines;
using relinka::kFriendsLines;
using relinka::kLongestLine;

constexpr std::size_t kLargestFile = 10 * kLongestLine;  // enough for several lines past the cut

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "friends reader: %s\n", what);
    std::abort();
}

// The reading rule stated the plain way, over the whole file at once: a line ends at each CR, and one
// LF straight after that CR goes with it. `eighth_end` is where the eighth line end stops, if there is one.
FriendsLines reference_lines(const std::string& bytes, std::size_t& eighth_end) {
    FriendsLines lines;
    eighth_end = std::string::npos;
    std::size_t at = 0;
    for (int line = 0; line < kFriendsLines && at < bytes.size(); ++line) {
        const std::size_t cr = bytes.find('\r', at);
        const std::size_t end = cr == std::string::npos ? bytes.size() : cr;
        lines[line] = bytes.substr(at, std::min(end - at, kLongestLine));
        if (cr == std::string::npos) break;
        at = cr + 1;
        if (line == kFriendsLines - 1) eighth_end = at;
        if (at < bytes.size() && bytes[at] == '\n') ++at;
    }
    return lines;
}

// Hands out the file in the given piece sizes, and refuses to be read once the reader should have stopped.
class PiecesSource : public relinka::ByteSource {
public:
    PiecesSource(const std::string& bytes, std::vector<std::size_t> pieces, std::size_t stop_at)
        : bytes_(bytes), pieces_(std::move(pieces)), stop_at_(stop_at) {}

    std::size_t read(char* buffer, std::size_t size) override {
        if (ended_) fail("read again after the end of the file");
        if (handed_out_ >= stop_at_) fail("read again after the eighth line end");
        const std::size_t n =
            std::min({size, pieces_[next_++ % pieces_.size()], bytes_.size() - handed_out_});
        std::memcpy(buffer, bytes_.data() + handed_out_, n);
        handed_out_ += n;
        ended_ = n == 0;
        return n;
    }

private:
    const std::string& bytes_;
    std::vector<std::size_t> pieces_;
    std::size_t stop_at_;
    std::size_t handed_out_ = 0, next_ = 0;
    bool ended_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::size_t repeats = input.ConsumeIntegralInRange<std::size_t>(1, 4 * kLongestLine);
    std::vector<std::size_t> pieces(input.ConsumeIntegralInRange<std::size_t>(1, 8));
    for (std::size_t& piece : pieces) piece = input.ConsumeIntegralInRange<std::size_t>(1, 3 * kLongestLine);
    const std::string body = input.ConsumeRemainingBytesAsString();
    if (!body.empty()) repeats = std::min(repeats, std::max<std::size_t>(1, kLargestFile / body.size()));
    std::string file;
    file.reserve(body.size() * repeats);
    for (std::size_t i = 0; i < repeats; ++i) file += body;

    std::size_t eighth_end = 0;
    const FriendsLines expected = reference_lines(file, eighth_end);
    PiecesSource source(file, std::move(pieces), eighth_end);
    const FriendsLines lines = relinka::read_friends_lines(source);

    for (const std::string& line : lines) {
        if (line.size() > kLongestLine) fail("a line longer than kLongestLine");
        if (line.find('\r') != std::string::npos) fail("a CR inside a line");
    }
    if (lines != expected) fail("lines differ from the reading rule");
    return 0;
}
