#pragma once
// The connection history in the running program: the History that watches the handlers, the thread that
// keeps historico.txt, the state on the main window's taskbar button, and the window "Histórico de
// conexões", opened from the main window's system menu or its taskbar thumbnail's button.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/amigos_window_win.h"
#include "history/history.h"
#include "history/history_thread_win.h"
#include "windows/historico_win.h"
#include "winlib/annotations_win.h"
#include "winlib/screen_win.h"
#include "winlib/taskbar_button_win.h"

namespace relinka {

// The system menu's item and the thumbnail's button; a system command's low four bits are the system's.
inline constexpr UINT kShowHistory = 0x0210;
inline constexpr const wchar_t* kShowHistoryItem = L"&Histórico de conexões...";

// How "Abrir arquivo" opens the file (open_in_background); `window` is posted
// HistoricoWindow::kOpenFailed on a failure.
using FileOpener = std::function<void(const std::wstring& file, HWND window, UINT failed)>;

class ConnectionHistory : public MainWindowFollower, public HistorySink, public HistorySource {
public:
    // Files in `folder`; the main window is `main`, its taskbar button reached through `taskbar_list`.
    ConnectionHistory(HWND main, std::wstring folder, Clock& clock, TaskbarListMaker taskbar_list,
                      Annotations& annotations, const Screen& screen, FileOpener open_file);

    SupervisionObserver& observer() { return history_; }
    // One at a time: a second opening brings the open window forward.
    void show_window();
    // Null while it is closed.
    HistoricoWindow* window() const { return window_ && window_->hwnd() ? window_.get() : nullptr; }
    // Writes what is left (the end of this run), waiting for it at most `milliseconds`.
    void finish(DWORD milliseconds) { thread_.finish(milliseconds); }

    bool follow(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

    void recorded(const Event& event) override;
    void changed() override;

    LocalTime now() override { return clock_.now(); }
    std::vector<StationSummary> summaries(LocalTime now) override { return history_.summaries(now); }
    const std::deque<Event>& events() override { return history_.events(); }
    std::wstring file_state() override;
    void open_file(HWND window) override;

private:
    void take_news();

    HWND main_;
    const std::wstring folder_;
    Clock& clock_;
    Annotations& annotations_;
    const Screen& screen_;
    FileOpener open_file_;
    History history_{clock_, *this};
    HistoryThread thread_;
    HistoryThread::State file_;
    UniqueIcon disconnected_mark_, stopped_mark_, button_icon_;
    TaskbarButton taskbar_;
    std::unique_ptr<HistoricoWindow> window_;
};

}  // namespace relinka
