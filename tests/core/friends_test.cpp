// The friends file: its bytes, the reading rule, and the three handlers that use it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "fakes.h"
#include "friends/friends_file.h"

namespace relinka::testing {
namespace {

// Hands out the bytes `chunk` at a time, so line ends fall across reads; counts what was asked for.
class ChunkedSource : public ByteSource {
public:
    ChunkedSource(std::string bytes, std::size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, chunk_, bytes_.size() - at_});
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }
    std::size_t consumed() const { return at_; }

private:
    std::string bytes_;
    std::size_t chunk_;
    std::size_t at_ = 0;
};

TEST(FriendsFile, WritesEightLinesEachEndedByCrLfAndNothingElse) {
    EXPECT_EQ(friends_file_bytes({}), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(friends_file_bytes({"pu2abc", " PY1AA ", "", "\xC7"}),
              std::string("pu2abc\r\n PY1AA \r\n\r\n\xC7\r\n\r\n\r\n\r\n\r\n"));
}

TEST(FriendsFile, ReadingRule) {
    struct Case {
        const char* what;
        std::string bytes;
        FriendsLines lines;
    };
    const Case cases[] = {
        {"CR LF", "A\r\nB\r\n", {"A", "B"}},
        {"lone CR ends a line", "A\rB\rC", {"A", "B", "C"}},
        {"lone LF stays in the line", "A\nB\r\nC", {"A\nB", "C"}},
        {"LF after CR LF starts the next line", "A\r\n\nB\r\n", {"A", "\nB"}},
        {"last line without its end", "A\r\nB", {"A", "B"}},
        {"three lines", "A\r\nB\r\nC\r\n", {"A", "B", "C"}},
        {"more than eight",
         "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n",
         {"1", "2", "3", "4", "5", "6", "7", "8"}},
        {"empty line in the middle", "A\r\n\r\nC\r\n", {"A", "", "C"}},
        {"blanks", "  \r\n X \r\n", {"  ", " X "}},
        {"empty file", "", {}},
        {"CR CR is an empty line", "A\r\rC", {"A", "", "C"}},
        {"binary bytes", std::string("\0\xFF\r\n\x7F", 5), {std::string("\0\xFF", 2), "\x7F"}},
    };
    for (const Case& c : cases) {
        for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{1} << 20}) {
            ChunkedSource source(c.bytes, chunk);
            EXPECT_EQ(read_friends_lines(source), c.lines) << c.what << ", read " << chunk << " at a time";
        }
    }
}

TEST(FriendsFile, StopsReadingAfterTheEighthLine) {
    std::string bytes = "1\r2\r3\r4\r5\r6\r7\r8\r";
    const std::size_t eight_lines = bytes.size();
    bytes += std::string(10'000'000, 'x');
    ChunkedSource source(bytes, 4096);
    read_friends_lines(source);
    EXPECT_LT(source.consumed(), eight_lines + 4096);
}

TEST(FriendsFile, OverlongLineIsCutButTheNextLineStillCounts) {
    std::string bytes(3 * kLongestLine, 'x');
    bytes += "\r\nPU2ABC\r\n";
    ChunkedSource source(bytes, 65536);
    const FriendsLines lines = read_friends_lines(source);
    EXPECT_EQ(lines[0], std::string(kLongestLine, 'x'));
    EXPECT_EQ(lines[1], "PU2ABC");
}

TEST(Gravar, WritesTheBoxesAsTheyStandWithoutABeep) {
    Rig rig;
    rig.load();
    rig.form.text[1] = L"pu2abc";
    rig.form.text[3] = L" PY1AA ";
    rig.form.text[8] = L"PU2ÇÃ";
    rig.amigos.gravar_Click();
    EXPECT_EQ(rig.take_trace(), Trace{"save amigos.txt"});
    EXPECT_EQ(rig.desktop.files[L"amigos.txt"], "pu2abc\r\n\r\n PY1AA \r\n\r\n\r\n\r\n\r\nPU2\xC7\xC3\r\n");
}

TEST(Gravar, FailureSaysWhyAndChangesNothing) {
    Rig rig;
    rig.load();
    rig.desktop.files[L"amigos.txt"] = "OLD\r\n";
    rig.desktop.save_failure = L"Acesso negado.";
    rig.amigos.gravar_Click();
    EXPECT_EQ(
        rig.take_trace(),
        (Trace{
            "save amigos.txt",
            "msgbox \"A lista de amigos não foi gravada em amigos.txt.\n\nAcesso negado.\" \"Relinka\" 48"}));
    EXPECT_EQ(rig.desktop.files[L"amigos.txt"], "OLD\r\n");
    EXPECT_FALSE(rig.amigos.ended());
}

TEST(Gravar, BoxThatCannotBeConvertedSaysWhyAndWritesNothing) {
    Rig rig;
    rig.load();
    rig.desktop.files[L"amigos.txt"] = "OLD\r\n";
    rig.form.text[2] = L"PU2ABC";
    rig.desktop.conversion_failure = L"Sinalizadores inválidos.";
    rig.amigos.gravar_Click();
    EXPECT_EQ(rig.take_trace(),
              Trace{"msgbox \"A lista de amigos não foi gravada em amigos.txt.\n\nSinalizadores "
                    "inválidos.\" \"Relinka\" 48"});
    EXPECT_EQ(rig.desktop.files[L"amigos.txt"], "OLD\r\n");
}

TEST(Ler, WithoutTheFileAsksToSaveFirst) {
    Rig rig;
    rig.load();
    rig.form.text[1] = L"KEEP";
    rig.amigos.ler_Click();
    EXPECT_EQ(rig.take_trace(), Trace{"msgbox \"Grave os amigos primeiro!\" \"Relinka\" 0"});
}

TEST(Ler, ReplacesTheBoxesAndLeavesTheTicks) {
    Rig rig;
    rig.load();
    rig.form.check[1] = 1;
    rig.form.text[1] = L"OLD";
    rig.desktop.files[L"amigos.txt"] = "\r\nPU2ABC\r\n";
    rig.amigos.ler_Click();
    EXPECT_EQ(rig.take_trace(), (Trace{"Text1=\"\"", "Text2=\"PU2ABC\"", "Text3=\"\"", "Text4=\"\"",
                                       "Text5=\"\"", "Text6=\"\"", "Text7=\"\"", "Text8=\"\""}));
    EXPECT_EQ(rig.form.check[1], 1);
    EXPECT_EQ(rig.form.check[2], 0);
}

TEST(Ler, SavedListComesBackTheSame) {
    Rig rig;
    rig.load();
    const std::wstring texts[] = {L"PU2ABC", L"", L" py1aa ", L"*RIO*", L"", L"Ç", L"x y", L"PU2ÇÃ"};
    for (int slot = 1; slot <= kSlots; ++slot) rig.form.text[slot] = texts[slot - 1];
    rig.amigos.gravar_Click();
    for (int slot = 1; slot <= kSlots; ++slot) rig.form.text[slot] = L"changed";
    rig.amigos.ler_Click();
    for (int slot = 1; slot <= kSlots; ++slot) EXPECT_EQ(rig.form.text[slot], texts[slot - 1]) << slot;
}

TEST(StartUpFill, TicksEverySlotThatReceivedSomethingAndNeverUnticks) {
    Rig rig;
    rig.form.check[5] = 1;  // as if ticked before the fill
    rig.desktop.files[L"amigos.txt"] = "PU2ABC\r\n  \r\n\r\nPY1AA";
    rig.amigos.Form_Load();
    const int expected[] = {0, 1, 1, 0, 1, 1, 0, 0, 0};
    for (int slot = 1; slot <= kSlots; ++slot) EXPECT_EQ(rig.form.check[slot], expected[slot]) << slot;
    EXPECT_EQ(rig.form.text[2], L"  ");
}

TEST(StartUpFill, FileThatCannotBeOpenedEmptiesTheBoxesAndTicksNothing) {
    Rig rig;
    rig.form.text[1] = L"TYPED";
    rig.desktop.files[L"amigos.txt"] = "PU2ABC\r\n";
    rig.desktop.unopenable.insert(L"amigos.txt");
    rig.amigos.Form_Load();
    for (int slot = 1; slot <= kSlots; ++slot) {
        EXPECT_EQ(rig.form.text[slot], L"");
        EXPECT_EQ(rig.form.check[slot], 0);
    }
}

}  // namespace
}  // namespace relinka::testing
