#include "winlib/replace_file_win.h"

#include "winlib/unique_win.h"

namespace relinka {

namespace {

// The error of a call that has just failed; never 0, so the failure cannot pass for a success.
DWORD failure_code() {
    const DWORD error = GetLastError();
    return error ? error : ERROR_WRITE_FAULT;
}

// Attributes that moving the new file into place would drop and that the new file can be made with:
// hidden and system, which a person sets, and archive, which a written file gets anyway.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// ERROR_SUCCESS once all of `bytes` are in a new file `name` and on the disk; else why not.
DWORD write_new_file(const std::wstring& name, std::string_view bytes, DWORD attributes,
                     const FileWrite& write) {
    UniqueFile file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return failure_code();
    DWORD written = 0;
    if (!write(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written)) return failure_code();
    // WriteFile may succeed having written only part, and then gives no error code.
    if (written != bytes.size()) return ERROR_WRITE_FAULT;
    if (!FlushFileBuffers(file.get())) return failure_code();
    return ERROR_SUCCESS;
}

}  // namespace

// Windows refuses to move over a read-only file, but Wine run as root replaces it, so it is refused here
// first.
DWORD replace_file_contents(const std::wstring& name, std::string_view bytes, const FileWrite& write) {
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_ACCESS_DENIED;
    // Every save uses the same name, so one that a crash cut short leaves nothing the next does not
    // remove. The leftover goes first: it may have attributes that CreateFileW will not write over.
    const std::wstring temporary = name + L".tmp";
    DeleteFileW(temporary.c_str());
    // The move gives the old file's place the new file's attributes, so the new file starts with them.
    const DWORD kept = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
    DWORD error = write_new_file(temporary, bytes, kept, write);
    if (!error &&
        !MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = failure_code();
    if (error) DeleteFileW(temporary.c_str());
    return error;
}

}  // namespace relinka
