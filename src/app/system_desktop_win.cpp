#include "app/system_desktop_win.h"

#include <string>

#include "winlib/answering_wait_win.h"
#include "winlib/code_page_win.h"
#include "winlib/replace_file_win.h"
#include "winlib/system_message_win.h"
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

}  // namespace

void SystemDesktop::beep() { MessageBeep(MB_OK); }

void SystemDesktop::sleep(unsigned milliseconds) { wait_answering(milliseconds); }

int SystemDesktop::message_box(std::wstring_view text, std::wstring_view title, unsigned style) {
    return MessageBoxW(message_box_owner_, std::wstring(text).c_str(), std::wstring(title).c_str(), style);
}

std::wstring SystemDesktop::upper_case(std::wstring_view text) {
    std::wstring upper(text);
    if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

std::wstring SystemDesktop::program_name() {
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
void SystemDesktop::keep_system_awake(bool awake) {
    if (!SetThreadExecutionState(awake ? ES_SYSTEM_REQUIRED | ES_CONTINUOUS : ES_CONTINUOUS))
        trace_failure("SetThreadExecutionState: the PC may sleep as it chooses", E_FAIL);
}

bool SystemDesktop::find_normal_file(std::wstring_view name) {
    WIN32_FIND_DATAW found;
    UniqueFind search(FindFirstFileW(std::wstring(name).c_str(), &found));
    if (!search) return false;
    do {
        if (!(found.dwFileAttributes & kNotNormal)) return true;
    } while (FindNextFileW(search.get(), &found));
    return false;
}

std::unique_ptr<ByteSource> SystemDesktop::open_for_reading(std::wstring_view name) {
    UniqueFile file(CreateFileW(std::wstring(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return nullptr;
    return std::make_unique<FileSource>(std::move(file));
}

std::optional<std::wstring> SystemDesktop::replace_file(std::wstring_view name, std::string_view bytes) {
    const DWORD error = replace_file_contents(
        std::wstring(name), bytes, [this](HANDLE file, const void* data, DWORD size, DWORD* written) {
            return write_file(file, data, size, written);
        });
    if (!error) return std::nullopt;
    return system_message(error);
}

BOOL SystemDesktop::write_file(HANDLE file, const void* data, DWORD size, DWORD* written) {
    return WriteFile(file, data, size, written, nullptr);
}

std::optional<std::wstring> SystemDesktop::to_ansi(std::wstring_view text, std::string& bytes) {
    return to_code_page(GetACP(), text, bytes);
}

std::wstring SystemDesktop::from_ansi(std::string_view bytes) { return from_code_page(CP_ACP, bytes); }

}  // namespace relinka
