#include "app/connection_history_win.h"

#include "history/history_line.h"
#include "history/history_text.h"
#include "resources.h"
#include "winlib/private_messages_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

// Posted by the history's thread; the main window's own messages come after its clicks' (kFirstFreeMessage).
constexpr UINT kHistoryNews = kFirstFreeMessage + 1;
// A timer comes after every paint waiting: the files are read once the window has painted.
constexpr UINT_PTR kStartWriting = 2;  // beside the main window's Timer1
// Windows gives a program about 5 s once the session ends; the end of the run is written within this.
constexpr DWORD kWritingAsTheSessionEnds = 1000;  // ms

HICON small_icon(int resource) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

// The item goes above "Fechar", set apart from it as the other items are.
void add_to_system_menu(HWND window) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    const int items = GetMenuItemCount(menu);
    int close = 0;
    while (close < items && GetMenuItemID(menu, close) != SC_CLOSE) ++close;
    if (!menu || close == items ||
        !InsertMenuW(menu, close, MF_BYPOSITION | MF_STRING, kShowHistory, kShowHistoryItem) ||
        !InsertMenuW(menu, close + 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr))
        trace_last_error("system menu: no item for the history");
}

// A drive's root ("C:\") already ends with the separator that the file names are put after.
std::wstring without_last_separator(std::wstring folder) {
    if (folder.ends_with(L'\\')) folder.pop_back();
    return folder;
}

}  // namespace

ConnectionHistory::ConnectionHistory(HWND main, std::wstring folder, Clock& clock,
                                     TaskbarListMaker taskbar_list, Annotations& annotations,
                                     const Screen& screen, FileOpener open_file)
    : main_(main),
      folder_(without_last_separator(std::move(folder))),
      clock_(clock),
      annotations_(annotations),
      screen_(screen),
      open_file_(std::move(open_file)),
      thread_(folder_, clock.now(), main, kHistoryNews),
      disconnected_mark_(small_icon(IDI_MARK_DISCONNECTED)),
      stopped_mark_(small_icon(IDI_MARK_STOPPED)),
      button_icon_(small_icon(IDI_HISTORY_BUTTON)),
      taskbar_(main, std::move(taskbar_list), {kShowHistory, button_icon_.get(), L"Histórico de conexões"}) {
    add_to_system_menu(main);
    if (!SetTimer(main, kStartWriting, 0, nullptr)) {
        trace_last_error("SetTimer for the history, started at once instead");
        thread_.start();
    }
}

void ConnectionHistory::show_window() {
    if (const HistoricoWindow* open = window()) {
        if (IsIconic(open->hwnd())) ShowWindow(open->hwnd(), SW_RESTORE);
        SetForegroundWindow(open->hwnd());
        return;
    }
    window_ = std::make_unique<HistoricoWindow>(*this);  // the one closed before goes
    window_->use_screen(screen_);
    if (!window_->create()) {
        trace_last_error("history window: not made");
        window_.reset();
        return;
    }
    window_->describe_with(annotations_);
    window_->refresh();
    window_->show();
}

bool ConnectionHistory::follow(UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    result = 0;
    switch (message) {
        case kHistoryNews:
            take_news();
            return true;
        case WM_TIMER:
            if (wparam != kStartWriting) return false;
            KillTimer(main_, kStartWriting);
            thread_.start();
            return true;
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) != kShowHistory) return false;
            show_window();
            return true;
        case WM_COMMAND:
            if (HIWORD(wparam) != THBN_CLICKED || LOWORD(wparam) != kShowHistory) return false;
            show_window();
            return true;
        case WM_ENDSESSION:
            // The main window ends the process on its way out of this message.
            if (wparam) {
                history_.ended(EndReason::SessionEnded);
                finish(kWritingAsTheSessionEnds);
            }
            return false;
        case WM_DESTROY:
            if (HistoricoWindow* open = window()) DestroyWindow(open->hwnd());
            return false;
    }
    return taskbar_.follow(message);
}

void ConnectionHistory::take_news() {
    HistoryThread::News news = thread_.take_news();
    file_ = news.state;
    if (news.earlier) history_.add_earlier(std::move(*news.earlier));
    changed();
}

void ConnectionHistory::recorded(const Event& event) { thread_.post(format_line(event)); }

void ConnectionHistory::changed() {
    const TaskbarState state = history_.taskbar();
    const HICON mark = state.overlay == Overlay::Disconnected ? disconnected_mark_.get()
                       : state.overlay == Overlay::Stopped    ? stopped_mark_.get()
                                                              : nullptr;
    taskbar_.show(mark, state.description, state.tooltip);
    if (HistoricoWindow* open = window()) open->refresh();
}

std::wstring ConnectionHistory::file_state() {
    return file_state_text(folder_, file_.failure, file_.waiting, file_.lost);
}

void ConnectionHistory::open_file(HWND window) {
    open_file_(folder_ + L"\\" + kHistoryFile, window, HistoricoWindow::kOpenFailed);
}

}  // namespace relinka
