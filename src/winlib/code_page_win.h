#pragma once
// Text to and from one of the system's code pages (the ANSI code page, say).
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace relinka {

// The WideCharToMultiByte flags for a code page: no best fit (a character the code page lacks becomes its
// default character, not a look-alike), except where the code page refuses every flag.
DWORD conversion_flags(UINT code_page);
// `text` in `code_page`, into `bytes`. Returns the system's reason, `bytes` empty, when it cannot convert
// the text at all.
[[nodiscard]] std::optional<std::wstring> to_code_page(UINT code_page, std::wstring_view text,
                                                       std::string& bytes);
std::wstring from_code_page(UINT code_page, std::string_view bytes);

}  // namespace relinka
