#include "history/history.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace relinka {

namespace {

constexpr std::int64_t kDay = 86'400;

std::wstring end_detail(EndReason how) {
    switch (how) {
        case EndReason::Operator:
            return L"pelo operador";
        case EndReason::EchoLinkClosed:
            return L"pelo EchoLink, que fechou";
        case EndReason::SessionEnded:
            return L"pelo Windows, que encerrou a sessão";
    }
    return {};
}

// Walks the events for one station's last 24 hours: each stretch it was supervised, with its reading,
// ends at its next reading, when its slot takes another station or is unticked, or when the supervision
// stops (a run's end, "Desliga", "Desconecta todos").
class DayOfStation {
public:
    DayOfStation(const std::wstring& callsign, LocalTime now)
        : callsign_(callsign), now_(now.utc_seconds), from_(now.utc_seconds - kDay) {}

    void walk(const Event& event) {
        const std::int64_t at = event.time.utc_seconds;
        switch (event.kind) {
            case EventKind::Connected:
            case EventKind::Disconnected:
                if (event.callsign == callsign_) {
                    const bool up = event.kind == EventKind::Connected;
                    if (state_ == State::Up && !up && at > from_ && at <= now_) ++summary_.drops;
                    close(at);
                    state_ = up ? State::Up : State::Down;
                    began_ = at;
                    slot_ = event.slot;
                    summary_.since = event.time;
                } else if (event.slot == slot_) {
                    close(at);
                }
                break;
            case EventKind::Unticked:
                if (event.slot == slot_) close(at);
                break;
            case EventKind::Interrupted:
                // The run before stopped when it was last seen, not when this one started.
                close(std::min(std::max(last_seen_of(event).value_or(event.time).utc_seconds, began_), at));
                break;
            case EventKind::Started:
            case EventKind::Ended:
            case EventKind::SupervisionOff:
            case EventKind::DroppedAll:
                close(at);
                break;
            default:
                break;
        }
    }

    StationSummary finish() {
        close(now_);
        return summary_;
    }

private:
    enum class State { None, Up, Down };

    void close(std::int64_t end) {
        if (state_ == State::None) return;
        const std::int64_t seconds = std::min(end, now_) - std::max(began_, from_);
        if (seconds > 0) {
            summary_.supervised_seconds += seconds;
            if (state_ == State::Up) summary_.connected_seconds += seconds;
        }
        state_ = State::None;
        slot_ = 0;
    }

    const std::wstring& callsign_;
    const std::int64_t now_, from_;
    State state_ = State::None;
    std::int64_t began_ = 0;
    int slot_ = 0;
    StationSummary summary_;
};

}  // namespace

History::History(Clock& clock, HistorySink& sink) : clock_(clock), sink_(sink) {}

void History::record(int slot, std::wstring_view callsign, EventKind kind, std::wstring detail) {
    events_.push_back({clock_.now(), slot, std::wstring(callsign), kind, std::move(detail)});
    trim();
    sink_.recorded(events_.back());
    sink_.changed();
}

void History::trim() {
    while (events_.size() > kKeptEvents) events_.pop_front();
}

void History::started(const std::vector<SlotStation>& stations) {
    std::wstring detail;
    for (const SlotStation& station : stations) {
        if (station.slot < 1 || station.slot > kSupervisedSlots) continue;
        slots_[station.slot] = {station.callsign, std::nullopt, false};
        detail += (detail.empty() ? L"supervisionando " : L", ") + station.callsign;
    }
    running_ = true;
    record(0, {}, EventKind::Started, detail.empty() ? L"sem estações marcadas" : detail);
}

void History::read(int slot, std::wstring_view callsign, bool connected) {
    if (slot < 1 || slot > kSupervisedSlots) return;
    Slot& at = slots_[slot];
    if (at.written && at.callsign == callsign && at.connected == connected) return;
    at = {std::wstring(callsign), connected, true};
    record(slot, callsign, connected ? EventKind::Connected : EventKind::Disconnected);
}

void History::unticked(int slot) {
    if (slot < 1 || slot > kSupervisedSlots || slots_[slot].callsign.empty()) return;
    const std::wstring callsign = std::exchange(slots_[slot], {}).callsign;
    record(slot, callsign, EventKind::Unticked);
}

void History::tick_ended(int calls, int failed) {
    if (calls > failed) {
        silent_ = busy_ = false;
    } else if (calls > 0 && !std::exchange(silent_, true)) {
        record(0, {}, EventKind::EchoLinkSilent);
    }
}

void History::echolink_busy() {
    if (!std::exchange(busy_, true)) record(0, {}, EventKind::EchoLinkBusy);
}

void History::switched_on() {
    running_ = true;
    record(0, {}, EventKind::SupervisionOn);
}

void History::switched_off() {
    stop_supervising(false);  // the labels keep what they showed
    record(0, {}, EventKind::SupervisionOff);
}

void History::dropped_one(std::wstring_view callsign) { record(0, callsign, EventKind::DroppedOne); }

void History::dropped_all(std::wstring_view refusal) {
    stop_supervising(true);  // the labels are blanked
    record(0, {}, EventKind::DroppedAll,
           refusal.empty() ? L"" : L"recusado pelo EchoLink (erro " + std::wstring(refusal) + L")");
}

void History::ended(EndReason how) {
    if (std::exchange(ended_, true)) return;
    stop_supervising(false);
    record(0, {}, EventKind::Ended, end_detail(how));
}

// Every reading after this one is the first of a new stretch of supervision, and is written.
void History::stop_supervising(bool forget_readings) {
    running_ = false;
    for (Slot& slot : slots_) {
        slot.written = false;
        if (forget_readings) slot.connected.reset();
    }
}

void History::add_earlier(std::vector<Event> earlier) {
    events_.insert(events_.begin(), std::make_move_iterator(earlier.begin()),
                   std::make_move_iterator(earlier.end()));
    trim();
    sink_.changed();
}

std::vector<StationSummary> History::summaries(LocalTime now) const {
    std::vector<StationSummary> summaries;
    for (int slot = 1; slot <= kSupervisedSlots; ++slot) {
        const Slot& at = slots_[slot];
        if (at.callsign.empty()) continue;
        DayOfStation day(at.callsign, now);
        for (const Event& event : events_) day.walk(event);
        StationSummary summary = day.finish();
        summary.slot = slot;
        summary.callsign = at.callsign;
        summary.connected = at.connected;
        if (!at.connected) summary.since.reset();
        summaries.push_back(std::move(summary));
    }
    return summaries;
}

TaskbarState History::taskbar() const {
    int supervised = 0, connected = 0, down = 0;
    for (const Slot& slot : slots_) {
        if (slot.callsign.empty()) continue;
        ++supervised;
        if (slot.connected) ++(*slot.connected ? connected : down);
    }
    return taskbar_state(running_, supervised, connected, down);
}

}  // namespace relinka
