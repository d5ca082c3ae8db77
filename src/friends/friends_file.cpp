#include "friends/friends_file.h"

#include <vector>

namespace relinka {

std::string friends_file_bytes(const FriendsLines& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

FriendsLines read_friends_lines(ByteSource& file) {
    FriendsLines lines;
    std::size_t current = 0;
    bool after_cr = false;  // an LF straight after a CR belongs to that line end
    std::vector<char> buffer(64 * 1024);
    while (current < lines.size()) {
        const std::size_t got = file.read(buffer.data(), buffer.size());
        if (got == 0) break;
        for (std::size_t i = 0; i < got && current < lines.size(); ++i) {
            const char byte = buffer[i];
            if (after_cr) {
                after_cr = false;
                if (byte == '\n') continue;
            }
            if (byte == '\r') {
                after_cr = true;
                ++current;
            } else if (lines[current].size() < kLongestLine) {
                lines[current] += byte;
            }
        }
    }
    return lines;
}

bool ExisteArquivo(FileStorage& storage, std::wstring_view Arquivo) {
    return storage.find_normal_file(Arquivo);
}

FriendsLines read_friends_file(FileStorage& storage) {
    FriendsLines lines;
    if (auto file = storage.open_for_reading(kFriendsFile)) lines = read_friends_lines(*file);
    return lines;
}

std::optional<std::wstring> write_friends_file(FileStorage& storage, const FriendsLines& lines) {
    return storage.replace_file(kFriendsFile, friends_file_bytes(lines));
}

}  // namespace relinka
