#include "winlib/trace_win.h"

#include <cstdio>
#include <cwchar>
#include <new>

namespace relinka {

void trace_failure(const char* where, HRESULT status) noexcept {
    wchar_t line[256];
    // At most 200 characters of `where`, so that the line always fits.
    std::swprintf(line, 256, L"relinka: %.200hs: 0x%08lX\n", where, static_cast<unsigned long>(status));
    OutputDebugStringW(line);
}

void trace_last_error(const char* where) noexcept {
    const DWORD error = GetLastError();
    // A call that fails without saying why still leaves a line that cannot pass for a success.
    trace_failure(where, error ? HRESULT_FROM_WIN32(error) : E_FAIL);
}

bool trace_last_error_if(bool failed, const char* where) noexcept {
    if (failed) trace_last_error(where);
    return failed;
}

HRESULT trace_exception(const char* where) noexcept {
    HRESULT status = E_UNEXPECTED;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        status = E_OUTOFMEMORY;
    } catch (...) {
    }
    char stopped[240];
    std::snprintf(stopped, sizeof stopped, "%.200s, stopped by an exception", where);
    trace_failure(stopped, status);
    return status;
}

}  // namespace relinka
