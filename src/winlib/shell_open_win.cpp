#include "winlib/shell_open_win.h"

#include <shellapi.h>

#include <memory>

#include "winlib/com_win.h"
#include "winlib/system_library_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

struct Opening {
    std::wstring file;
    HWND window;
    UINT failed;
};

DWORD WINAPI open_file(void* parameter) {
    const std::unique_ptr<Opening> opening(static_cast<Opening*>(parameter));
    // The shell's extensions may be COM objects of a single-threaded apartment.
    const ComApartment apartment;
    auto* const shell_execute =
        function_of<decltype(ShellExecuteExW)>(load_system_library(L"shell32.dll"), "ShellExecuteExW");
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    // Its own error boxes would belong to no window; the caller says what went wrong. The thread waits
    // for the shell, which would otherwise hand the opening to a thread of its own and return.
    request.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    request.lpVerb = L"open";
    request.lpFile = opening->file.c_str();
    request.nShow = SW_SHOWNORMAL;
    if (!shell_execute || !shell_execute(&request)) {
        const DWORD error = shell_execute ? GetLastError() : ERROR_PROC_NOT_FOUND;
        PostMessageW(opening->window, opening->failed, error ? error : ERROR_NO_ASSOCIATION, 0);
    }
    return 0;
}

}  // namespace

void Shell::execute(HWND owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                    const wchar_t* directory, int show) {
    // shell32 is large and only the About window's link needs it: it is loaded at the first press, not
    // at start-up.
    static auto* const shell_execute_w =
        function_of<decltype(ShellExecuteW)>(load_system_library(L"shell32.dll"), "ShellExecuteW");
    if (shell_execute_w) shell_execute_w(owner, operation, file, parameters, directory, show);
}

void open_in_background(const std::wstring& file, HWND window, UINT failed) {
    auto* opening = new Opening{file, window, failed};
    if (const HANDLE thread = CreateThread(nullptr, 0, open_file, opening, 0, nullptr)) {
        CloseHandle(thread);
        return;
    }
    delete opening;
    const DWORD error = GetLastError();
    trace_last_error("open_in_background: no thread, the file is not opened");
    PostMessageW(window, failed, error, 0);
}

}  // namespace relinka
