// relinka.exe: start-up, the message loop, and the end.
#include <windows.h>

#include <exception>

#include "app/amigos.h"
#include "app/amigos_window_win.h"
#include "app/connection_history_win.h"
#include "app/echolink_unreachable.h"
#include "app/exit_codes.h"
#include "app/restart_win.h"
#include "app/system_desktop_win.h"
#include "echolink/busy_message_filter_win.h"
#include "echolink/com_echolink_win.h"
#include "echolink/echolink_processes_win.h"
#include "history/windows_clock_win.h"
#include "winlib/com_win.h"
#include "winlib/deadline_win.h"
#include "winlib/shell_open_win.h"
#include "winlib/system_library_win.h"
#include "winlib/trace_win.h"

namespace relinka {
namespace {

// Letting go of EchoLink's object at the end is a call into EchoLink, which a hung EchoLink never
// answers: from the moment the window has gone, the process ends within this whatever EchoLink does.
constexpr DWORD kLettingGoOfEchoLink = 3000;  // ms
// Making EchoLink's object and subscribing to its Closing: an EchoLink frozen as it starts never answers,
// and the program has no window yet to show that it waits.
constexpr DWORD kMakingEchoLink = 30'000;  // ms
// The history's last lines (the end of the run) are written within this; a disk that does not answer
// loses them, and the next start says the run was interrupted.
constexpr DWORD kWritingTheHistory = 1500;  // ms, within kLettingGoOfEchoLink

DWORD WINAPI end_when_overdue(void* milliseconds) {
    Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(milliseconds)));
    // Nothing is lost but the history's last line, which the next start then makes up for (interrompido).
    TerminateProcess(GetCurrentProcess(), kEndOverdue);
    return 0;
}

void end_within(DWORD milliseconds) {
    if (HANDLE thread =
            CreateThread(nullptr, 0, end_when_overdue,
                         reinterpret_cast<void*>(static_cast<UINT_PTR>(milliseconds)), 0, nullptr))
        CloseHandle(thread);
    else
        trace_last_error("end-of-program watchdog: not started, the end waits on EchoLink");
}

void report_frozen_echolink() {
    MessageBoxW(
        nullptr,
        L"O EchoLink não respondeu em 30 segundos e parece estar travado.\n\n"
        L"Se ele responder, esta mensagem se fecha sozinha e o Relinka segue normalmente.\n\n"
        L"Clicando em OK, o Relinka se fecha: feche então o EchoLink (pelo Gerenciador de Tarefas, se "
        L"ele não fechar), abra-o de novo e depois abra o Relinka.",
        L"Relinka", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

// Why EchoLink's object cannot be had; the program then ends.
void report_unreachable_echolink(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), L"Relinka", MB_OK | MB_ICONERROR);
}

std::wstring current_folder() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

int run(const wchar_t* command_line, int show_command) {
    // Before anything reads amigos.txt.
    const std::optional<WorkingFolder> folder = enter_working_folder(command_line);
    if (!folder) return kRestartFolderUnreachable;
    const RelinkasHere relinkas_here(*folder);
    if (relinkas_here.makes_way()) return kAnotherRelinkaHere;
    // A call into an EchoLink that has stopped answering holds this thread until it answers: Windows must
    // not put a "not responding" ghost in the window's place meanwhile, whose close button would end the
    // program.
    DisableProcessWindowsGhosting();
    const ComApartment apartment;
    traced("CoInitializeEx, so EchoLink's object cannot be made", apartment.result());
    use_busy_message_filter();
    SystemDesktop desktop;
    Shell shell;
    // The system's annotation service, made at the first request, once the window has shown.
    Annotations annotations(system_annotation_service);
    AmigosWindow window(desktop, shell, annotations);
    if (!window.create()) return kNoMainWindow;
    WindowsClock clock;
    ConnectionHistory history(window.hwnd(), current_folder(), clock, system_taskbar_list, annotations,
                              system_screen(), open_in_background);
    window.follow_with(history);
    // Declared last: the link is released first, after the message loop, while COM is still up.
    Amigos amigos(window, desktop, [](std::function<void()> on_closing) -> std::unique_ptr<EchoLink> {
        const Deadline answered(kMakingEchoLink, kEchoLinkFrozen, report_frozen_echolink);
        return ComEchoLink::create(std::move(on_closing));
    });
    window.attach(amigos);
    amigos.observe_with(history.observer());
    // Asking COM for the object of an EchoLink running apart would start a second EchoLink.
    WindowsEchoLinkProcesses processes;
    if (const std::optional<Apart> apart = how_echolink_runs_apart(processes)) {
        report_unreachable_echolink(running_apart_message(*apart));
        return kNoEchoLink;
    }
    try {
        amigos.Form_Load();
    } catch (const EchoLinkError& failure) {
        report_unreachable_echolink(creation_failure_message(failure.status()));
        return kNoEchoLink;
    }
    if (!amigos.ended()) {  // else Closing came during start-up
        window.show(show_command);
        // Making EchoLink's object loaded libraries that COM no longer uses (under Wine a 1.2 MB proxy
        // library): once the window is on the screen they go, rather than stay for the program's life.
        CoFreeUnusedLibrariesEx(0, 0);
        const bool restart_asked = ask_for_restart(folder->path);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch_message(message);
        // Only the program itself ends its message loop: Windows ending the session ends the process
        // in WM_ENDSESSION, and the restart stays asked for.
        if (restart_asked) forget_restart();
    }
    end_within(kLettingGoOfEchoLink);
    history.finish(kWritingTheHistory);
    return kEndedAsAsked;
}

}  // namespace
}  // namespace relinka

// `show_command` is how the shortcut asks for the window: a shortcut set to start minimized gives
// SW_SHOWMINNOACTIVE. The command line is empty but where Windows starts Relinka again (restart.h).
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int show_command) {
    relinka::restrict_dll_search_to_system_folder();
    return relinka::run(command_line, show_command);
}
