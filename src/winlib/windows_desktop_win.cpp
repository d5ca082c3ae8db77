#include "winlib/windows_desktop_win.h"

#include <shellapi.h>

#include <string>

#include "winlib/answering_wait_win.h"
#include "winlib/system_library_win.h"
#include "winlib/trace_win.h"
#include "winlib/unique_win.h"

namespace relinka {

namespace {

constexpr DWORD kNotNormal = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

class FileSource : public ByteSource {
public:
    explicit FileSource(UniqueFile file) : file_(std::move(file)) {}
    std::size_t read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        if (!ReadFile(file_.get(), buffer, static_cast<DWORD>(size), &got, nullptr)) return 0;
        return got;
    }

private:
    UniqueFile file_;
};

// The error of a call that has just failed; never 0, so the failure cannot pass for a success.
DWORD failure_code() {
    const DWORD error = GetLastError();
    return error ? error : ERROR_WRITE_FAULT;
}

// Attributes that moving the new file into place would drop and that the new file can be made with:
// hidden and system, which a person sets, and archive, which a written file gets anyway. A read-only
// file is never replaced.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

}  // namespace

std::wstring system_message(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : L"Erro " + std::to_wstring(error) + L".";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    return message;
}

void WindowsDesktop::beep() { MessageBeep(MB_OK); }

void WindowsDesktop::sleep(unsigned milliseconds) { wait_answering(milliseconds); }

int WindowsDesktop::message_box(std::wstring_view text, std::wstring_view title, unsigned style) {
    return MessageBoxW(message_box_owner_, std::wstring(text).c_str(), std::wstring(title).c_str(), style);
}

std::wstring WindowsDesktop::upper_case(std::wstring_view text) {
    std::wstring upper(text);
    if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

std::wstring WindowsDesktop::program_name() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const auto dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

// The request belongs to this thread, the user-interface thread, which lives as long as the program. Never
// ES_DISPLAY_REQUIRED: a station PC's screen may go dark.
void WindowsDesktop::keep_system_awake(bool awake) {
    if (!SetThreadExecutionState(awake ? ES_SYSTEM_REQUIRED | ES_CONTINUOUS : ES_CONTINUOUS))
        trace_failure("SetThreadExecutionState: the PC may sleep as it chooses", E_FAIL);
}

bool WindowsDesktop::find_normal_file(std::wstring_view name) {
    WIN32_FIND_DATAW found;
    UniqueFind search(FindFirstFileW(std::wstring(name).c_str(), &found));
    if (!search) return false;
    do {
        if (!(found.dwFileAttributes & kNotNormal)) return true;
    } while (FindNextFileW(search.get(), &found));
    return false;
}

std::unique_ptr<ByteSource> WindowsDesktop::open_for_reading(std::wstring_view name) {
    UniqueFile file(CreateFileW(std::wstring(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return nullptr;
    return std::make_unique<FileSource>(std::move(file));
}

// The new contents go to a file of their own in the same directory, reach the disk, and only then take
// the old file's place; the old file is never opened for writing. A read-only file is left alone:
// Windows refuses to move over one, but Wine run as root replaces it, so it is refused here first.
std::optional<std::wstring> WindowsDesktop::replace_file(std::wstring_view name, std::string_view bytes) {
    const std::wstring target(name);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return system_message(ERROR_ACCESS_DENIED);
    // Every save uses the same name, so one that a crash cut short leaves nothing the next does not
    // remove. The leftover goes first: it may have attributes that CreateFileW will not write over.
    const std::wstring temporary = target + L".tmp";
    DeleteFileW(temporary.c_str());
    // The move gives the old file's place the new file's attributes, so the new file starts with them.
    const DWORD kept = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
    DWORD error = write_new_file(temporary, bytes, kept);
    if (!error &&
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = failure_code();
    if (!error) return std::nullopt;
    DeleteFileW(temporary.c_str());
    return system_message(error);
}

DWORD WindowsDesktop::write_new_file(const std::wstring& name, std::string_view bytes, DWORD attributes) {
    UniqueFile file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return failure_code();
    DWORD written = 0;
    if (!write_file(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written))
        return failure_code();
    // WriteFile may succeed having written only part, and then gives no error code.
    if (written != bytes.size()) return ERROR_WRITE_FAULT;
    if (!FlushFileBuffers(file.get())) return failure_code();
    return ERROR_SUCCESS;
}

BOOL WindowsDesktop::write_file(HANDLE file, const void* data, DWORD size, DWORD* written) {
    return WriteFile(file, data, size, written, nullptr);
}

// Per WideCharToMultiByte's documentation: these code pages fail with ERROR_INVALID_FLAGS unless the
// flags are 0; UTF-8 and GB18030 take WC_ERR_INVALID_CHARS at most. UTF-8 is the ANSI code page of a
// Windows set to "use Unicode UTF-8 for worldwide language support".
DWORD conversion_flags(UINT code_page) {
    switch (code_page) {
        case 42:
        case 50220:
        case 50221:
        case 50222:
        case 50225:
        case 50227:
        case 50229:
        case 54936:
        case CP_UTF7:
        case CP_UTF8:
            return 0;
    }
    return code_page >= 57002 && code_page <= 57011 ? 0 : WC_NO_BEST_FIT_CHARS;
}

std::optional<std::wstring> to_code_page(UINT code_page, std::wstring_view text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) return std::nullopt;  // the system refuses an empty text
    const DWORD flags = conversion_flags(code_page);
    const int size = static_cast<int>(text.size());
    int length = WideCharToMultiByte(code_page, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length > 0) {
        bytes.resize(length);
        length =
            WideCharToMultiByte(code_page, flags, text.data(), size, bytes.data(), length, nullptr, nullptr);
    }
    if (length > 0) return std::nullopt;
    const DWORD error = GetLastError();
    bytes.clear();
    return system_message(error);
}

std::optional<std::wstring> WindowsDesktop::to_ansi(std::wstring_view text, std::string& bytes) {
    return to_code_page(GetACP(), text, bytes);
}

std::wstring WindowsDesktop::from_ansi(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), length);
    return text;
}

void WindowsDesktop::shell_execute(HWND owner, const wchar_t* operation, const wchar_t* file,
                                   const wchar_t* parameters, const wchar_t* directory, int show) {
    // shell32 is large and only the About window's link needs it: it is loaded at the first press, not
    // at start-up.
    static auto* const shell_execute_w =
        function_of<decltype(ShellExecuteW)>(load_system_library(L"shell32.dll"), "ShellExecuteW");
    if (shell_execute_w) shell_execute_w(owner, operation, file, parameters, directory, show);
}

}  // namespace relinka
