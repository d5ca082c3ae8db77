#include "history/history_storage_win.h"

#include "history/history_line.h"
#include "history/windows_clock_win.h"
#include "winlib/system_message_win.h"

namespace relinka {

namespace {

// The failure of the call that has just failed; never "success", so that it cannot pass for one.
StorageFailure last_failure() {
    DWORD error = GetLastError();
    if (!error) error = ERROR_WRITE_FAULT;
    return {error, system_message(error)};
}

StorageFailure failure(DWORD error) { return {error, system_message(error)}; }

// A read-only file is refused before it is opened: Wine run as root would write it anyway.
bool read_only(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

WindowsHistoryStorage::WindowsHistoryStorage(const std::wstring& folder)
    : current_(folder + L"\\" + kHistoryFile), previous_(folder + L"\\" + kPreviousHistoryFile) {}

StorageResult WindowsHistoryStorage::open(FileEnd& end) {
    file_.reset();
    if (read_only(current_)) return failure(ERROR_ACCESS_DENIED);
    // Appended to only, and others may read it meanwhile (an editor that shows it).
    file_.reset(CreateFileW(current_.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (!file_) return last_failure();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.get(), &size)) return last_failure();
    end = {static_cast<std::uint64_t>(size.QuadPart), -1};
    if (size.QuadPart == 0) return std::nullopt;
    LARGE_INTEGER last{};
    last.QuadPart = size.QuadPart - 1;
    unsigned char byte = 0;
    DWORD got = 0;
    if (!SetFilePointerEx(file_.get(), last, nullptr, FILE_BEGIN) ||
        !ReadFile(file_.get(), &byte, 1, &got, nullptr))
        return last_failure();
    if (got == 1) end.last_byte = byte;
    return std::nullopt;
}

StorageResult WindowsHistoryStorage::append(std::string_view bytes) {
    DWORD written = 0;
    if (!WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return last_failure();
    // WriteFile may succeed having written only part, and then gives no error code.
    if (written != bytes.size()) return failure(ERROR_WRITE_FAULT);
    return std::nullopt;
}

StorageResult WindowsHistoryStorage::close() {
    StorageResult result;
    if (file_ && !FlushFileBuffers(file_.get())) result = last_failure();
    file_.reset();
    return result;
}

StorageResult WindowsHistoryStorage::rotate() {
    file_.reset();
    if (read_only(previous_)) return failure(ERROR_ACCESS_DENIED);
    if (!MoveFileExW(current_.c_str(), previous_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return last_failure();
    return std::nullopt;
}

StorageResult WindowsHistoryStorage::touch() {
    const UniqueFile file(CreateFileW(current_.c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError() == ERROR_FILE_NOT_FOUND ? std::nullopt : StorageResult(last_failure());
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    if (!SetFileTime(file.get(), nullptr, nullptr, &now)) return last_failure();
    return std::nullopt;
}

StorageResult WindowsHistoryStorage::read_tail(bool previous, std::size_t limit, FileTail& tail) {
    tail = {};
    const UniqueFile file(CreateFileW((previous ? previous_ : current_).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError() == ERROR_FILE_NOT_FOUND ? std::nullopt : StorageResult(last_failure());
    LARGE_INTEGER size;
    FILETIME written;
    if (!GetFileSizeEx(file.get(), &size) || !GetFileTime(file.get(), nullptr, nullptr, &written))
        return last_failure();
    tail.exists = true;
    tail.last_written = local_time_of(written);
    const std::uint64_t length = static_cast<std::uint64_t>(size.QuadPart);
    tail.whole = length <= limit;
    tail.bytes.resize(tail.whole ? length : limit);
    LARGE_INTEGER from{};
    from.QuadPart = static_cast<LONGLONG>(length - tail.bytes.size());
    DWORD got = 0;
    if (!SetFilePointerEx(file.get(), from, nullptr, FILE_BEGIN) ||
        !ReadFile(file.get(), tail.bytes.data(), static_cast<DWORD>(tail.bytes.size()), &got, nullptr))
        return last_failure();
    tail.bytes.resize(got);
    return std::nullopt;
}

}  // namespace relinka
