#include "winlib/system_library_win.h"

#include <string>

#include "winlib/trace_win.h"

namespace relinka {

void restrict_dll_search_to_system_folder() {
    auto* const set_default_dll_directories =
        function_of<BOOL WINAPI(DWORD)>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (set_default_dll_directories && set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    trace_last_error("SetDefaultDllDirectories, so only the current folder is taken out of the DLL search");
    trace_last_error_if(!SetDllDirectoryW(L""), "SetDllDirectoryW, the DLL search is left as it was");
}

HMODULE load_system_library(const wchar_t* name) {
    if (const HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // A Windows 7 without KB2533623 refuses the flag: the system folder is then named in full, and the
    // library's own imports are looked for beside it first.
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    path.resize(length);
    path += L'\\';
    path += name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace relinka
