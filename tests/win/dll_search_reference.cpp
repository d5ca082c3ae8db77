// What a program of relinka.exe's kind still takes from its own folder under Wine when it keeps its DLL
// search to the system's folder as its first statement, as relinka.exe does. It then asks of the
// system's libraries what relinka.exe asks, in its own plain way: a window of the same kinds of controls
// with relinka.exe's manifest, EchoLink's object from its own process, an embedded GIF decoded by GDI+
// from the system's folder. Built with IMPORTS_THE_SHELL, it imports shell32 as the installer does (a
// KnownDLL on Windows, whose own imports Windows takes from the system's folder) and saves a shortcut.
// Whatever it takes from its folder is what Wine's own libraries load there by name, for any program.
// Started with "unrestricted" it only loads dwmapi by its name alone, with the usual search: a planted
// dwmapi.dll is then loaded, which shows that the planting works.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

#include "echolink/echolink_automation_win.h"
#include "resources.h"

namespace {

void pump_for(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (MSG message; GetTickCount64() < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
}

// GDI+'s flat functions, as gdiplusflat.h declares them.
struct StartupInput {
    UINT32 version = 1;
    void* debug_callback = nullptr;
    BOOL no_background_thread = FALSE, no_external_codecs = FALSE;
};
using Startup = int(WINAPI*)(ULONG_PTR*, const StartupInput*, void*);
using LoadImageFromStream = int(WINAPI*)(IStream*, void**);
using DisposeImage = int(WINAPI*)(void*);

void decode_with_gdiplus(int resource) {
    const HMODULE gdiplus = LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const HRSRC found =
        FindResourceW(nullptr, MAKEINTRESOURCEW(resource), MAKEINTRESOURCEW(RT_GIF_ANIMATION));
    if (!gdiplus || !found) return;
    const auto startup =
        reinterpret_cast<Startup>(reinterpret_cast<void*>(GetProcAddress(gdiplus, "GdiplusStartup")));
    const auto load = reinterpret_cast<LoadImageFromStream>(
        reinterpret_cast<void*>(GetProcAddress(gdiplus, "GdipLoadImageFromStream")));
    const auto dispose =
        reinterpret_cast<DisposeImage>(reinterpret_cast<void*>(GetProcAddress(gdiplus, "GdipDisposeImage")));
    ULONG_PTR token = 0;
    const StartupInput input;
    if (!startup || !load || !dispose || startup(&token, &input, nullptr) != 0) return;
    const DWORD size = SizeofResource(nullptr, found);
    const HGLOBAL bytes = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(bytes), LockResource(LoadResource(nullptr, found)), size);
    GlobalUnlock(bytes);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(bytes, TRUE, &stream))) return;
    void* image = nullptr;
    if (load(stream, &image) == 0) dispose(image);
    stream->Release();
}

#ifdef IMPORTS_THE_SHELL
void save_shortcut() {
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return;
    const std::wstring path = std::wstring(folder) + L"\\reference.lnk";
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    link->SetPath(path.c_str());
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        file->Save(path.c_str(), TRUE);
        file->Release();
    }
    link->Release();
    DeleteFileW(path.c_str());
}
#endif

LONG WINAPI end_at_once(EXCEPTION_POINTERS*) { ExitProcess(3); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
    if (lstrcmpW(command_line, L"unrestricted") == 0) {
        LoadLibraryW(L"dwmapi.dll");
        return 0;
    }
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A planted DLL has none of the real one's functions: a call into one ends the program at once,
    // rather than start Wine's debugger.
    SetUnhandledExceptionFilter(end_at_once);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                        nullptr, nullptr, instance, nullptr);
    int top = 0;
    for (const auto& [kind, style] :
         {std::pair{L"BUTTON", BS_OWNERDRAW}, std::pair{L"BUTTON", BS_AUTOCHECKBOX},
          std::pair{L"BUTTON", BS_GROUPBOX}, std::pair{L"EDIT", ES_AUTOHSCROLL},
          std::pair{L"STATIC", SS_LEFT}})
        CreateWindowExW(0, kind, L"x", WS_CHILD | WS_VISIBLE | style, 10, top += 30, 100, 25, window, nullptr,
                        instance, nullptr);
    IUnknown* echolink = nullptr;
    if (SUCCEEDED(CoCreateInstance(relinka::kEchoLinkClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&echolink))))
        echolink->Release();
    pump_for(1000);
    decode_with_gdiplus(IDG_ABOUT_MAST);
#ifdef IMPORTS_THE_SHELL
    save_shortcut();
#endif
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}
