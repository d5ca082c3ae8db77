// The folder Relinka ran in, on the command line Windows gives back when it starts Relinka again.
#include "app/restart.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace relinka::testing
