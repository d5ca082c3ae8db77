#pragma once
// The EchoLink calls received, one line each in the order they arrived, e.g. Connect("PU2ABC",-1).
#include <initializer_list>
#include <string>
#include <string_view>

namespace standin {

class CallLog {
public:
    // Arguments come already written out: strings through quoted(), numbers as their decimal value.
    void record(std::wstring_view method, std::initializer_list<std::wstring> arguments);
    const std::wstring& text() const noexcept { return text_; }
    // The same lines, each after the milliseconds of the steady clock at which it was recorded and a
    // space: that clock counts from the same moment in every process of the machine.
    const std::wstring& timed_text() const noexcept { return timed_text_; }
    void clear() noexcept {
        text_.clear();
        timed_text_.clear();
    }

private:
    std::wstring text_;
    std::wstring timed_text_;
};

// A string argument as the log shows it: inside double quotes, exactly as received.
std::wstring quoted(std::wstring_view text);

}  // namespace standin
