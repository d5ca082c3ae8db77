#pragma once
// The handlers' desktop (desktop.h) as Windows gives it.
#include <windows.h>

#include "app/desktop.h"

namespace relinka {

class SystemDesktop : public Desktop {
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

protected:
    // The system's WriteFile; a test puts a failing disk in its place.
    virtual BOOL write_file(HANDLE file, const void* data, DWORD size, DWORD* written);

private:
    HWND message_box_owner_ = nullptr;
};

}  // namespace relinka
