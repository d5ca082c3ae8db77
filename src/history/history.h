#pragma once
// The connection history while the program runs: fed with what the handlers did, it turns changes into
// events (a station's first reading of a run and each change after, never one a tick), keeps the latest
// of them and those of the runs before, and sums up each supervised station's last 24 hours.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "history/event.h"
#include "history/supervision_observer.h"
#include "history/taskbar_state.h"

namespace relinka {

class HistorySink {
public:
    virtual ~HistorySink() = default;
    // A new event of this run, to be written to the file.
    virtual void recorded(const Event& event) = 0;
    // The events, a reading or the supervision's state have changed.
    virtual void changed() = 0;
};

struct StationSummary {
    int slot = 0;
    std::wstring callsign;
    std::optional<bool> connected;   // this run's reading; none before its first
    std::optional<LocalTime> since;  // when that reading began
    int drops = 0;                   // "conectado" then "desconectado", in the last 24 hours
    // Of the last 24 hours: the time it was supervised, and of that the time it read "conectado".
    std::int64_t supervised_seconds = 0, connected_seconds = 0;
    bool operator==(const StationSummary&) const = default;
};

class History final : public SupervisionObserver {
public:
    // The most events kept in memory, this run's and those read from the file: about a day of one
    // station dropping every minute. The summaries cover what they cover.
    static constexpr std::size_t kKeptEvents = 4000;

    History(Clock& clock, HistorySink& sink);

    void started(const std::vector<SlotStation>& stations) override;
    void read(int slot, std::wstring_view callsign, bool connected) override;
    void unticked(int slot) override;
    void tick_ended(int calls, int failed) override;
    void echolink_busy() override;
    void switched_on() override;
    void switched_off() override;
    void dropped_one(std::wstring_view callsign) override;
    void dropped_all(std::wstring_view refusal) override;
    void ended(EndReason how) override;

    // The events of the runs before, oldest first, as the file holds them; they go before this run's.
    void add_earlier(std::vector<Event> earlier);
    // Oldest first.
    const std::deque<Event>& events() const { return events_; }
    // One for each station supervised now, in slot order.
    std::vector<StationSummary> summaries(LocalTime now) const;
    TaskbarState taskbar() const;

private:
    struct Slot {
        std::wstring callsign;          // empty: no station supervised here
        std::optional<bool> connected;  // the last reading shown
        bool written = false;           // that reading is in the history since the supervision began
    };
    void record(int slot, std::wstring_view callsign, EventKind kind, std::wstring detail = {});
    void trim();
    void stop_supervising(bool forget_readings);

    Clock& clock_;
    HistorySink& sink_;
    std::deque<Event> events_;
    std::array<Slot, kSupervisedSlots + 1> slots_;  // 1 to 8
    bool running_ = false, ended_ = false, silent_ = false, busy_ = false;
};

}  // namespace relinka
