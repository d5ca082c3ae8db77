#pragma once
// UTF-8, the history file's encoding, to and from the program's wide text (UTF-16 on Windows, UTF-32
// in the native build).
#include <optional>
#include <string>
#include <string_view>

namespace relinka {

// A lone surrogate, which no UTF-8 can hold, becomes U+FFFD.
std::string to_utf8(std::wstring_view text);
// Nothing where the bytes are not UTF-8 (another encoding, binary bytes): overlong forms, surrogates and
// code points past U+10FFFF are refused too.
std::optional<std::wstring> from_utf8(std::string_view bytes);

}  // namespace relinka
