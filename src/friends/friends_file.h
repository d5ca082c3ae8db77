#pragma once
// The friends file amigos.txt: eight lines in slot order, each ended by CR LF, in the ANSI code page.
#include <array>
#include <cstddef>
#include <string>

#include "app/amigos_form.h"
#include "app/desktop.h"

namespace relinka {

inline constexpr const wchar_t* kFriendsFile = L"amigos.txt";

// The bytes of each line, already in the ANSI code page.
using FriendsLines = std::array<std::string, kSlots>;

// A line longer than this is cut here: far more than any callsign box holds, and it keeps a file of any
// size from filling the memory.
inline constexpr std::size_t kLongestLine = 32767;

std::string friends_file_bytes(const FriendsLines& lines);

// A line ends at CR or CR LF; a lone LF stays in the line. Only the first eight lines are read (the rest
// of the file is never touched); lines the file lacks come back empty.
FriendsLines read_friends_lines(ByteSource& file);

}  // namespace relinka
