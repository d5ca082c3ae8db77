#pragma once
// The trace of failures the program skips or works around: one line each, through OutputDebugStringW,
// which DebugView on the operator's PC (or a test) can read. Nothing is written to disk.
#include <windows.h>

namespace relinka {

// "relinka: <where>: 0x80004005". `where` names the call that failed and what the program does instead.
void trace_failure(const char* where, HRESULT status) noexcept;
// The same for a Win32 call that has just failed, with its GetLastError().
void trace_last_error(const char* where) noexcept;
// trace_last_error(where) when `failed`; returns `failed`: `if (trace_last_error_if(!call(), "...")) ...`.
bool trace_last_error_if(bool failed, const char* where) noexcept;
// Only inside a catch block: traces "<where>, stopped by an exception" with E_OUTOFMEMORY for want of
// memory and E_UNEXPECTED for anything else, and returns that status.
HRESULT trace_exception(const char* where) noexcept;

// Traces `status` when it is a failure; returns it unchanged, for a call whose answer is looked at
// only to be traced.
inline HRESULT traced(const char* where, HRESULT status) noexcept {
    if (FAILED(status)) trace_failure(where, status);
    return status;
}

}  // namespace relinka
