// The folder Relinka ran in, on the command line Windows gives back when it starts Relinka again.
#include "app/restart.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "app/folder_claim.h"

namespace relinka::testing {
namespace {

TEST(Restart, TheFolderComesBackFromTheCommandLineMadeForIt) {
    for (const std::wstring folder : {L"C:\\Radio", L"C:\\Program Data\\Relinka amigos", L"D:\\",
                                      L"\\\\estacao\\c$\\Relinka", L"C:\\Rádio\\Conexões"}) {
        const std::wstring command_line = restart_command_line(folder);
        EXPECT_EQ(restart_folder(command_line), folder) << command_line.size();
    }
    EXPECT_EQ(restart_command_line(L"C:\\Radio"), L"/pasta \"C:\\Radio\"");
    EXPECT_EQ(restart_folder(L"/pasta \"C:\\Radio\"  "), L"C:\\Radio") << "blanks after it";
}

TEST(Restart, AnyOtherCommandLineGivesNoFolder) {
    for (const std::wstring_view command_line :
         {L"", L"  ", L"amigos.txt", L"/pasta", L"/pasta \"\"", L"/pasta \"C:\\Radio", L"/pasta C:\\Radio",
          L"/PASTA \"C:\\Radio\"", L" /pasta \"C:\\Radio\"", L"/pasta \"C:\\Radio\" /outra",
          L"/pasta \"C:\\Radio\"\"x\""})
        EXPECT_EQ(restart_folder(command_line), std::nullopt) << command_line.size();
}

// Two Relinkas starting in one folder, their steps on the session's named objects in every order they
// can come in; a Relinka that makes way ends, and its marks go with it, at any moment after it decided.
class TwoStarts {
public:
    struct Start {
        bool restarted, elevated;
    };
    TwoStarts(Start a, Start b)
        : starts_{a, b}, claims_{FolderClaim(a.restarted), FolderClaim(b.restarted)} {}

    // Each way the two can end: which of them stayed.
    std::set<std::pair<bool, bool>> outcomes() {
        std::set<std::pair<bool, bool>> seen;
        walk(seen);
        return seen;
    }

private:
    struct Mark {
        std::set<int> holders;
        bool elevated = false;  // made by an elevated Relinka: refused to one that is not
    };

    bool done(int who) const { return !claims_[who].next() && (!claims_[who].makes_way() || gone_[who]); }

    void walk(std::set<std::pair<bool, bool>>& seen) {
        if (done(0) && done(1)) {
            seen.insert({!claims_[0].makes_way(), !claims_[1].makes_way()});
            return;
        }
        for (int who : {0, 1}) {
            if (done(who)) continue;
            TwoStarts before = *this;
            step(who);
            walk(seen);
            *this = before;
        }
    }

    void step(int who) {
        const std::optional<FolderClaim::Step> next = claims_[who].next();
        if (!next) {  // it made way: it ends
            for (auto& [name, mark] : marks_) mark.holders.erase(who);
            gone_[who] = true;
            return;
        }
        Mark& mark = marks_[next->mark];
        Found found = Found::Absent;
        if (!mark.holders.empty())
            found = mark.elevated && !starts_[who].elevated ? Found::Refused : Found::Present;
        if (next->action == FolderClaim::Step::Make && found != Found::Refused) {
            if (mark.holders.empty()) mark.elevated = starts_[who].elevated;
            mark.holders.insert(who);
        }
        claims_[who].found(found);
    }

    Start starts_[2];
    FolderClaim claims_[2];
    std::map<FolderMark, Mark> marks_;
    bool gone_[2] = {false, false};
};

TEST(FolderClaim, OneStartedAgainByWindowsAndOneByTheShortcutLeaveExactlyOneInEveryOrder) {
    // Windows never starts an elevated Relinka again; the shortcut's may be (the Task Scheduler's recipe).
    for (const bool shortcut_elevated : {false, true}) {
        for (const bool restarted_first : {false, true}) {
            const TwoStarts::Start restarted{true, false}, shortcut{false, shortcut_elevated};
            TwoStarts starts =
                restarted_first ? TwoStarts(restarted, shortcut) : TwoStarts(shortcut, restarted);
            for (const auto& [first_stays, second_stays] : starts.outcomes())
                EXPECT_NE(first_stays, second_stays) << shortcut_elevated << restarted_first;
        }
    }
}

TEST(FolderClaim, TwoTheOperatorStartedBothStayAndTwoStartedAgainLeaveOne) {
    for (const auto& [first_stays, second_stays] : TwoStarts({false, false}, {false, true}).outcomes())
        EXPECT_TRUE(first_stays && second_stays);
    for (const auto& [first_stays, second_stays] : TwoStarts({true, false}, {true, false}).outcomes())
        EXPECT_NE(first_stays, second_stays);
}

TEST(FolderClaim, AMarkRefusedForItsAccessCountsAsARelinkaThere) {
    FolderClaim restarted(true);
    restarted.found(Found::Absent);   // restarted here
    restarted.found(Found::Refused);  // here: an elevated Relinka's
    EXPECT_TRUE(restarted.makes_way());
    FolderClaim shortcut(false);
    shortcut.found(Found::Present);  // here
    ASSERT_TRUE(shortcut.next());
    shortcut.found(Found::Refused);  // restarted here
    EXPECT_TRUE(shortcut.makes_way());
}

}  // namespace
}  // namespace relinka::testing
