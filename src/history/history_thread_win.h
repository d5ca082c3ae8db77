#pragma once
// The one thread that owns the history's files: the user-interface thread hands it lines and never waits
// on the disk, so that a folder on a network drive that stops answering holds no tick and no message.
// It reads what came before this run, writes each line as it comes, tries again every few seconds while
// the file cannot be written, and keeps the file's last-write time fresh while nothing happens.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/history_writer.h"
#include "winlib/unique_win.h"

namespace relinka {

class HistoryThread {
public:
    struct State {
        StorageResult failure;  // why the file is not being written, while it is not
        std::size_t waiting = 0, lost = 0;
        bool operator==(const State&) const = default;
    };
    struct News {
        std::optional<std::vector<Event>> earlier;  // the runs before, once, soon after the start
        State state;
    };

    // The files in `folder`; `window` is posted `message` when there is news for take_news().
    HistoryThread(std::wstring folder, LocalTime started_at, HWND window, UINT message);
    ~HistoryThread();
    HistoryThread(const HistoryThread&) = delete;
    HistoryThread& operator=(const HistoryThread&) = delete;

    // The line is handed over at once. While the thread cannot keep up (the disk does not answer), the
    // oldest lines beyond a bounded number go, and are counted as lost.
    void post(std::string line);
    // The thread reads the files and writes what was handed over, and from then on as it comes. Started
    // once the window has painted, so that reading a large file takes nothing from the start-up.
    void start();
    News take_news();
    // Writes what is left, once more, and stops; waits for that at most `milliseconds`.
    void finish(DWORD milliseconds);

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    UniqueHandle thread_;
};

}  // namespace relinka
