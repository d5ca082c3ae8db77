// relinka.exe: start-up, the message loop, and the end.
#include <windows.h>

#include "app/amigos.h"
#include "app/amigos_window_win.h"
#include "echolink/com_echolink_win.h"
#include "win32/com_win.h"
#include "win32/system_library_win.h"
#include "win32/windows_desktop_win.h"

namespace relinka {
namespace {

// Letting go of EchoLink's object at the end is a call into EchoLink, which a hung EchoLink never
// answers: from the moment the window has gone, the process ends within this whatever EchoLink does.
constexpr DWORD kLettingGoOfEchoLink = 3000;  // ms

DWORD WINAPI end_when_overdue(void* milliseconds) {
    Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(milliseconds)));
    // Nothing is lost: the program writes nothing on its way out.
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}

void end_within(DWORD milliseconds) {
    if (HANDLE thread =
            CreateThread(nullptr, 0, end_when_overdue,
                         reinterpret_cast<void*>(static_cast<UINT_PTR>(milliseconds)), 0, nullptr))
        CloseHandle(thread);
}

void report_missing_echolink(const EchoLinkError& failure) {
    const std::wstring text = L"Não foi possível criar o objeto de automação do EchoLink (erro " +
                              status_code_text(failure.status()) +
                              L").\n\nVerifique se o EchoLink está instalado neste computador.";
    MessageBoxW(nullptr, text.c_str(), L"Relinka", MB_OK | MB_ICONERROR);
}

int run() {
    // A tick holds this thread for seconds on end (the wait before Connect): Windows must not put a "not
    // responding" ghost in the window's place meanwhile, whose close button would end the program.
    DisableProcessWindowsGhosting();
    ComApartment apartment;
    WindowsDesktop desktop;
    Annotations annotations;  // the system's service, first asked for once the window has shown
    AmigosWindow window(desktop, annotations);
    if (!window.create()) return 1;
    // Declared last: the link is released first, after the message loop, while COM is still up.
    Amigos amigos(window, desktop, [](std::function<void()> on_closing) -> std::unique_ptr<EchoLink> {
        return ComEchoLink::create(std::move(on_closing));
    });
    window.attach(amigos);
    try {
        amigos.Form_Load();
    } catch (const EchoLinkError& failure) {
        report_missing_echolink(failure);
        return 1;
    }
    if (!amigos.ended()) {  // else Closing came during start-up
        window.show();
        // Making EchoLink's object loaded libraries that COM no longer uses (under Wine a 1.2 MB proxy
        // library): once the window is on the screen they go, rather than stay for the program's life.
        CoFreeUnusedLibrariesEx(0, 0);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch_message(message);
    }
    end_within(kLettingGoOfEchoLink);
    return 0;
}

}  // namespace
}  // namespace relinka

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    relinka::restrict_dll_search_to_system_folder();
    return relinka::run();
}
