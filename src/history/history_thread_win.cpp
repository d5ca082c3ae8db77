#include "history/history_thread_win.h"

#include <deque>
#include <utility>

#include "history/history_storage_win.h"
#include "winlib/trace_win.h"

namespace relinka {

namespace {

constexpr DWORD kTryAgainAfter = 5000;          // ms, while the file cannot be written
constexpr ULONGLONG kKeepFreshEvery = 300'000;  // ms: an interruption is then known to within 5 minutes

}  // namespace

struct HistoryThread::Shared {
    Shared(std::wstring folder, LocalTime started_at, HWND window, UINT message)
        : folder(std::move(folder)), started_at(started_at), window(window), message(message) {}

    const std::wstring folder;
    const LocalTime started_at;
    const HWND window;
    const UINT message;
    const UniqueHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    SRWLOCK lock = SRWLOCK_INIT;
    // Under the lock:
    std::deque<std::string> inbox;
    std::size_t inbox_lost = 0;
    bool stopping = false, told = false;
    News news;

    struct Locked {
        explicit Locked(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
        ~Locked() { ReleaseSRWLockExclusive(&lock_); }
        SRWLOCK& lock_;
    };

    // The window is told once until it takes the news.
    void tell_window() {
        if (!std::exchange(told, true)) PostMessageW(window, message, 0, 0);
    }

    void run() {
        WindowsHistoryStorage storage(folder);
        HistoryWriter writer(storage);
        std::vector<Event> earlier = writer.begin(started_at);
        {
            const Locked locked(lock);
            news.earlier = std::move(earlier);
            tell_window();
        }
        ULONGLONG fresh_at = GetTickCount64();
        for (bool last = false; !last;) {
            {
                const Locked locked(lock);
                for (std::string& line : inbox) writer.add(std::move(line));
                inbox.clear();
                last = stopping;
            }
            const std::size_t before = writer.waiting();
            writer.write();
            const ULONGLONG now = GetTickCount64();
            if (before && !writer.waiting()) fresh_at = now;
            if (now - fresh_at >= kKeepFreshEvery) {
                writer.keep_fresh();
                fresh_at = now;
            }
            {
                const Locked locked(lock);
                const State state{writer.failure(), writer.waiting() + inbox.size(),
                                  writer.lost() + inbox_lost};
                if (state != news.state) {
                    news.state = state;
                    tell_window();
                }
            }
            if (!last)
                WaitForSingleObject(wake.get(), writer.waiting()
                                                    ? kTryAgainAfter
                                                    : static_cast<DWORD>(kKeepFreshEvery - (now - fresh_at)));
        }
    }
};

namespace {

DWORD WINAPI run_history(void* parameter) {
    const std::unique_ptr<std::shared_ptr<HistoryThread::Shared>> owned(
        static_cast<std::shared_ptr<HistoryThread::Shared>*>(parameter));
    const std::shared_ptr<HistoryThread::Shared> shared = *owned;
    try {
        shared->run();
    } catch (...) {
        trace_failure("history thread: stopped, nothing more is written", E_OUTOFMEMORY);
    }
    return 0;
}

}  // namespace

HistoryThread::HistoryThread(std::wstring folder, LocalTime started_at, HWND window, UINT message)
    : shared_(std::make_shared<Shared>(std::move(folder), started_at, window, message)) {}

HistoryThread::~HistoryThread() { finish(0); }

void HistoryThread::post(std::string line) {
    {
        const Shared::Locked locked(shared_->lock);
        if (shared_->stopping) return;
        if (shared_->inbox.size() >= HistoryWriter::kBacklog) {
            shared_->inbox.pop_front();
            ++shared_->inbox_lost;
        }
        shared_->inbox.push_back(std::move(line));
    }
    SetEvent(shared_->wake.get());
}

void HistoryThread::start() {
    if (thread_) return;
    auto* parameter = new std::shared_ptr<Shared>(shared_);
    thread_.reset(CreateThread(nullptr, 0, run_history, parameter, 0, nullptr));
    if (thread_) return;
    delete parameter;
    trace_last_error("history thread: not started, historico.txt is not written");
}

HistoryThread::News HistoryThread::take_news() {
    const Shared::Locked locked(shared_->lock);
    shared_->told = false;
    News news{std::exchange(shared_->news.earlier, std::nullopt), shared_->news.state};
    return news;
}

void HistoryThread::finish(DWORD milliseconds) {
    bool waiting;
    {
        const Shared::Locked locked(shared_->lock);
        shared_->stopping = true;
        waiting = !shared_->inbox.empty();
    }
    if (waiting) start();  // a run that ended before it was started
    if (!thread_) return;
    SetEvent(shared_->wake.get());
    WaitForSingleObject(thread_.get(), milliseconds);
}

}  // namespace relinka
