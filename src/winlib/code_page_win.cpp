#include "winlib/code_page_win.h"

#include "winlib/system_message_win.h"

namespace relinka {

// Per WideCharToMultiByte's documentation: these code pages fail with ERROR_INVALID_FLAGS unless the
// flags are 0; UTF-8 and GB18030 take WC_ERR_INVALID_CHARS at most. UTF-8 is the ANSI code page of a
// Windows set to "use Unicode UTF-8 for worldwide language support".
DWORD conversion_flags(UINT code_page) {
    switch (code_page) {
        case 42:
        case 50220:
        case 50221:
        case 50222:
        case 50225:
        case 50227:
        case 50229:
        case 54936:
        case CP_UTF7:
        case CP_UTF8:
            return 0;
    }
    return code_page >= 57002 && code_page <= 57011 ? 0 : WC_NO_BEST_FIT_CHARS;
}

std::optional<std::wstring> to_code_page(UINT code_page, std::wstring_view text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) return std::nullopt;  // the system refuses an empty text
    const DWORD flags = conversion_flags(code_page);
    const int size = static_cast<int>(text.size());
    int length = WideCharToMultiByte(code_page, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length > 0) {
        bytes.resize(length);
        length =
            WideCharToMultiByte(code_page, flags, text.data(), size, bytes.data(), length, nullptr, nullptr);
    }
    if (length > 0) return std::nullopt;
    const DWORD error = GetLastError();
    bytes.clear();
    return system_message(error);
}

std::wstring from_code_page(UINT code_page, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), size, text.data(), length);
    return text;
}

}  // namespace relinka
