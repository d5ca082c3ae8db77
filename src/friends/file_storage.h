#pragma once
// What the friends file needs of the system's files; the program's desktop gives it.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace relinka {

// Sequential reading of a file that is open.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `buffer`; 0 at the end of the file or when reading fails.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

class FileStorage {
public:
    virtual ~FileStorage() = default;

    // Directory search with the normal attribute filter: ordinary files match, read-only and archive
    // included; hidden and system files and directories do not.
    virtual bool find_normal_file(std::wstring_view name) = 0;
    // Null when the file cannot be opened.
    virtual std::unique_ptr<ByteSource> open_for_reading(std::wstring_view name) = 0;
    // Puts `bytes` in place of the file's contents in one step, or leaves the file exactly as it was and
    // returns the system's reason.
    [[nodiscard]] virtual std::optional<std::wstring> replace_file(std::wstring_view name,
                                                                   std::string_view bytes) = 0;
};

}  // namespace relinka
