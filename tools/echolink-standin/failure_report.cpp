#include "failure_report.h"

#include <cstdio>
#include <cwctype>
#include <string>

namespace standin {

namespace {

std::wstring describe(HRESULT hr) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description(text, length);
    LocalFree(text);
    while (!description.empty() && iswspace(description.back())) description.pop_back();
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return description.empty() ? code : description + L" (" + code + L')';
}

}  // namespace

void tell_user(std::wstring_view text) noexcept {
    try {
        const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        if (error == nullptr || error == INVALID_HANDLE_VALUE) {
            MessageBoxW(nullptr, std::wstring(text).c_str(), L"EchoLink (substituto)", MB_OK | MB_ICONERROR);
            return;
        }
        const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                             0, nullptr, nullptr);
        std::string bytes(size, '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                            nullptr, nullptr);
        bytes += '\n';
        DWORD written = 0;
        WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    } catch (...) {
        // Out of memory while reporting: nothing more can be said.
    }
}

void report_failure(std::wstring_view what, HRESULT hr) noexcept {
    try {
        tell_user(std::wstring(what) + L": " + describe(hr));
    } catch (...) {
        tell_user(what);
    }
}

}  // namespace standin
