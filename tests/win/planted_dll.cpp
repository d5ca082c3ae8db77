// A DLL put beside a program under the name of a system DLL, as anybody who can write a file into a
// download folder could. Loaded, it leaves a mark, an empty file named after itself in the folder
// "marks" beside it, and nothing else: it has none of the real DLL's functions.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH], mark[MAX_PATH + 8];
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    int name = static_cast<int>(length);
    while (name > 0 && path[name - 1] != L'\\') --name;
    lstrcpynW(mark, path, name + 1);
    lstrcatW(mark, L"marks\\");
    lstrcatW(mark, path + name);
    const HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
