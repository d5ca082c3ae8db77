#pragma once
// Tells the person who ran the server what went wrong: on stderr when there is one (a shell running
// wine), otherwise in a message box.
#include <windows.h>

#include <string_view>

namespace standin {

void tell_user(std::wstring_view text) noexcept;
// "<what>: <system text for hr> (0x........)"
void report_failure(std::wstring_view what, HRESULT hr) noexcept;

}  // namespace standin
