#pragma once
// Windows may start Relinka again by itself: after an update's restart, or at sign-in when the operator
// lets Windows reopen the programs left open. It gives the program back only the command line registered
// for it, and starts it in a folder of its own choosing, so the folder Relinka ran in (where amigos.txt
// is) travels on that command line: /pasta "C:\Radio". Operators never type it.
#include <optional>
#include <string>
#include <string_view>

namespace relinka {

std::wstring restart_command_line(std::wstring_view folder);
// The folder of a command line made by restart_command_line; nothing for any other command line (the
// program takes no arguments of its own, and ignores what it is given).
std::optional<std::wstring> restart_folder(std::wstring_view command_line);

// A folder on a network or USB drive may not be reachable yet when Windows starts Relinka at sign-in:
// it is tried every few seconds for up to two minutes, and then the operator is told.
inline constexpr unsigned kRestartFolderPatience = 120'000;  // ms
inline constexpr unsigned kRestartFolderRetry = 2'000;       // ms
std::wstring unreachable_restart_folder_message(std::wstring_view folder);

}  // namespace relinka
