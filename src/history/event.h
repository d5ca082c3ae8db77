#pragma once
// One event of the connection history: what happened, when, to which slot's station.
#include <optional>
#include <string>

#include "history/local_time.h"

namespace relinka {

enum class EventKind {
    Started,         // "iniciado", with the stations it supervises
    Ended,           // "encerrado", with how
    Interrupted,     // "interrompido": the run before never ended; when it was last known to run
    Connected,       // "conectado": a station's reading, the first of a run or a change
    Disconnected,    // "desconectado"
    Unticked,        // "desmarcado": a station no longer supervised
    SupervisionOn,   // "liga"
    SupervisionOff,  // "desliga"
    DroppedOne,      // "desconectar-amigo"
    DroppedAll,      // "desconecta-todos"
    EchoLinkBusy,    // "echolink-ocupado": a tick given up because EchoLink is in a dialog of its own
    EchoLinkSilent,  // "echolink-sem-resposta": every call of a tick failed
};

struct Event {
    LocalTime time;
    int slot = 0;  // 1 to 8; 0 for none
    std::wstring callsign;
    EventKind kind = EventKind::Started;
    std::wstring detail;  // what follows the word, if anything
    bool operator==(const Event&) const = default;
};

// The word that names an event in the file.
const char* word_of(EventKind kind);
std::optional<EventKind> kind_named(std::string_view word);
// The word and the detail, as the file and the window show them.
std::wstring event_text(const Event& event);

// An interruption's detail: when the run before was last known to be running.
std::wstring interruption_detail(LocalTime last_seen);
std::optional<LocalTime> last_seen_of(const Event& interruption);

}  // namespace relinka
