#pragma once
// The friends file amigos.txt: eight lines in slot order, each ended by CR LF, in the ANSI code page.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "friends/file_storage.h"

namespace relinka {

inline constexpr const wchar_t* kFriendsFile = L"amigos.txt";

inline constexpr int kFriendsLines = 8;  // one a station slot
// The bytes of each line, already in the ANSI code page.
using FriendsLines = std::array<std::string, kFriendsLines>;

// A line longer than this is cut here: far more than any callsign box holds, and it keeps a file of any
// size from filling the memory.
inline constexpr std::size_t kLongestLine = 32767;

std::string friends_file_bytes(const FriendsLines& lines);

// A line ends at CR or CR LF; a lone LF stays in the line. Only the first eight lines are read (the rest
// of the file is never touched); lines the file lacks come back empty.
FriendsLines read_friends_lines(ByteSource& file);

// Whether `Arquivo` is there as an ordinary file (FileStorage::find_normal_file).
bool ExisteArquivo(FileStorage& storage, std::wstring_view Arquivo);
// amigos.txt's lines; a file that is there but cannot be opened reads as eight empty lines.
FriendsLines read_friends_file(FileStorage& storage);
// `lines` in place of amigos.txt's in one step, or the file untouched and the system's reason.
[[nodiscard]] std::optional<std::wstring> write_friends_file(FileStorage& storage, const FriendsLines& lines);

}  // namespace relinka
