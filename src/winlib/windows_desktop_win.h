#pragma once
// The desktop services of Windows itself.
#include <windows.h>

#include "app/desktop.h"

namespace relinka {

class WindowsDesktop : public Desktop {
public:
    // The window that owns the message boxes: the program's uppermost window (the main window, or the
    // Help or About window while it is open), so that while a box is open no window of the program
    // takes input, whichever program is active.
    void set_message_box_owner(HWND owner) { message_box_owner_ = owner; }

    void beep() override;
    // A wait that keeps the program answering (answering_wait_win.h).
    void sleep(unsigned milliseconds) override;
    int message_box(std::wstring_view text, std::wstring_view title, unsigned style) override;
    std::wstring upper_case(std::wstring_view text) override;
    std::wstring program_name() override;
    void keep_system_awake(bool awake) override;

    bool find_normal_file(std::wstring_view name) override;
    std::unique_ptr<ByteSource> open_for_reading(std::wstring_view name) override;
    [[nodiscard]] std::optional<std::wstring> replace_file(std::wstring_view name,
                                                           std::string_view bytes) override;
    [[nodiscard]] std::optional<std::wstring> to_ansi(std::wstring_view text, std::string& bytes) override;
    std::wstring from_ansi(std::string_view bytes) override;

    // The shell's ShellExecuteW; its answer is not looked at.
    virtual void shell_execute(HWND owner, const wchar_t* operation, const wchar_t* file,
                               const wchar_t* parameters, const wchar_t* directory, int show);

protected:
    // The system's WriteFile; a test puts a failing disk in its place.
    virtual BOOL write_file(HANDLE file, const void* data, DWORD size, DWORD* written);

private:
    // ERROR_SUCCESS once all of `bytes` are in a new file `name` and on the disk; else why not.
    [[nodiscard]] DWORD write_new_file(const std::wstring& name, std::string_view bytes, DWORD attributes);

    HWND message_box_owner_ = nullptr;
};

// The system's own words for an error code, without the line end it puts after them.
std::wstring system_message(DWORD error);

// The WideCharToMultiByte flags for a code page: no best fit (a character the code page lacks becomes its
// default character, not a look-alike), except where the code page refuses every flag.
DWORD conversion_flags(UINT code_page);
// `text` in `code_page`, as to_ansi converts it to the ANSI code page.
[[nodiscard]] std::optional<std::wstring> to_code_page(UINT code_page, std::wstring_view text,
                                                       std::string& bytes);

}  // namespace relinka
