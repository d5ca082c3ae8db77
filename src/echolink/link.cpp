#include "echolink/link.h"

#include <cstdio>
#include <cwchar>

namespace relinka {

namespace {
std::string describe(const char* operation, std::int32_t status) {
    char text[96];
    std::snprintf(text, sizeof text, "EchoLink %s failed (0x%08X)", operation, static_cast<unsigned>(status));
    return text;
}
}  // namespace

std::wstring status_code_text(std::int32_t status) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08X", static_cast<unsigned>(status));
    return text;
}

EchoLinkError::EchoLinkError(const char* operation, std::int32_t status)
    : std::runtime_error(describe(operation, status)), status_(status) {}

}  // namespace relinka
