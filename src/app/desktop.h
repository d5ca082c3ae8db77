#pragma once
// What the handlers need from the system around them, besides the window and EchoLink: the beep, the
// wait, modal message boxes, the system's upper-case mapping, the friends file's storage, and keeping
// the PC awake.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

// Sequential reading of a file that is open.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes into `buffer`; 0 at the end of the file or when reading fails.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;

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

    // Directory search with the normal attribute filter: ordinary files match, read-only and archive
    // included; hidden and system files and directories do not.
    virtual bool find_normal_file(std::wstring_view name) = 0;
    // Null when the file cannot be opened.
    virtual std::unique_ptr<ByteSource> open_for_reading(std::wstring_view name) = 0;
    // Puts `bytes` in place of the file's contents in one step, or leaves the file exactly as it was and
    // returns the system's reason.
    [[nodiscard]] virtual std::optional<std::wstring> replace_file(std::wstring_view name,
                                                                   std::string_view bytes) = 0;
    // `text` in the system's ANSI code page, into `bytes`; a character the code page cannot hold becomes
    // its default character. Returns the system's reason when it cannot convert the text at all.
    [[nodiscard]] virtual std::optional<std::wstring> to_ansi(std::wstring_view text, std::string& bytes) = 0;
    virtual std::wstring from_ansi(std::string_view bytes) = 0;
};

}  // namespace relinka
