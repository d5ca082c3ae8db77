#pragma once
// What the handlers need from the system around them, besides the window and EchoLink: the beep, the
// wait, modal message boxes, the system's upper-case mapping, the friends file's storage and code page,
// and keeping the PC awake.
#include <optional>
#include <string>
#include <string_view>

#include "friends/file_storage.h"

namespace relinka {

// Message box styles and answers, with the values the system gives them.
enum MessageBoxStyle : unsigned {
    kOkOnly = 0,
    kYesNo = 4,
    kQuestion = 32,
    kExclamation = 48,
    kDefaultButton2 = 256,
};
enum MessageBoxAnswer : int { kOk = 1, kYes = 6, kNo = 7 };

// One desktop is handed around, the friends file's storage among its services.
class Desktop : public FileStorage {
public:
    virtual void beep() = 0;
    // Returns after `milliseconds`, or sooner once the program has ended. Other events may arrive meanwhile
    // (EchoLink's Closing, the timer's tick); the operator's clicks come after it.
    virtual void sleep(unsigned milliseconds) = 0;
    // Modal; returns the answer. Other events (timer ticks, EchoLink's Closing) may arrive meanwhile.
    virtual int message_box(std::wstring_view text, std::wstring_view title, unsigned style) = 0;
    virtual std::wstring upper_case(std::wstring_view text) = 0;
    // The executable's file name without its extension.
    virtual std::wstring program_name() = 0;
    // While `awake`, the system does not go to sleep for want of a user (the display may still go dark);
    // otherwise it may again. Best effort.
    virtual void keep_system_awake(bool awake) = 0;

    // `text` in the system's ANSI code page, into `bytes`; a character the code page cannot hold becomes
    // its default character. Returns the system's reason when it cannot convert the text at all.
    [[nodiscard]] virtual std::optional<std::wstring> to_ansi(std::wstring_view text, std::string& bytes) = 0;
    virtual std::wstring from_ansi(std::string_view bytes) = 0;
};

}  // namespace relinka
