#pragma once
// DLLs from the system's folder only. Windows looks for a DLL that is not one of its KnownDLLs in the
// program's own folder first, and operators unpack relinka.exe where their browser saves files: a DLL
// of a system name put there by anybody who can write a file there would run inside the program.
#include <windows.h>

namespace relinka {

// The program's first statement: from here on every DLL the process loads by name, its own and those
// the system's libraries load for it, comes from the system's folder (SetDefaultDllDirectories, Windows
// 8 on and Windows 7 with KB2533623). Where Windows lacks that, the current folder at least is taken out
// of the search (SetDllDirectoryW(L"")), and load_system_library names the system folder in full.
void restrict_dll_search_to_system_folder();

// `name` (such as L"gdiplus.dll") from the system's folder; null with GetLastError() set when it cannot
// be loaded. What it imports comes from the system's folder too.
[[nodiscard]] HMODULE load_system_library(const wchar_t* name);

// The function `name` of `module`, as a `Function` (a function type); null where `module` is null or this
// Windows lacks the function.
template <class Function>
Function* function_of(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace relinka
