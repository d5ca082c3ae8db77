#include "win32/trace_win.h"

#include <cwchar>

namespace relinka {

void trace_failure(const char* where, HRESULT status) noexcept {
    wchar_t line[256];
    std::swprintf(line, 256, L"relinka: %hs: 0x%08lX\n", where, static_cast<unsigned long>(status));
    OutputDebugStringW(line);
}

void trace_last_error(const char* where) noexcept {
    const DWORD error = GetLastError();
    // A call that fails without saying why still leaves a line that cannot pass for a success.
    trace_failure(where, error ? HRESULT_FROM_WIN32(error) : E_FAIL);
}

}  // namespace relinka
