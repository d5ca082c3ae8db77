#include "call_log.h"

#include <chrono>

namespace standin {

void CallLog::record(std::wstring_view method, std::initializer_list<std::wstring> arguments) {
    std::wstring line(method);
    line += L'(';
    const wchar_t* separator = L"";
    for (const auto& argument : arguments) {
        line += separator;
        line += argument;
        separator = L",";
    }
    line += L")\n";
    text_ += line;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    timed_text_ += std::to_wstring(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    timed_text_ += L' ';
    timed_text_ += line;
}

std::wstring quoted(std::wstring_view text) {
    std::wstring result(1, L'"');
    result += text;
    result += L'"';
    return result;
}

}  // namespace standin
