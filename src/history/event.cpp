#include "history/event.h"

#include "history/utf8.h"

namespace relinka {

namespace {

struct Word {
    EventKind kind;
    const char* word;
};

constexpr Word kWords[] = {
    {EventKind::Started, "iniciado"},
    {EventKind::Ended, "encerrado"},
    {EventKind::Interrupted, "interrompido"},
    {EventKind::Connected, "conectado"},
    {EventKind::Disconnected, "desconectado"},
    {EventKind::Unticked, "desmarcado"},
    {EventKind::SupervisionOn, "liga"},
    {EventKind::SupervisionOff, "desliga"},
    {EventKind::DroppedOne, "desconectar-amigo"},
    {EventKind::DroppedAll, "desconecta-todos"},
    {EventKind::EchoLinkBusy, "echolink-ocupado"},
    {EventKind::EchoLinkSilent, "echolink-sem-resposta"},
};

constexpr std::wstring_view kLastSeen = L"ativo pela última vez em ";

}  // namespace

const char* word_of(EventKind kind) {
    for (const Word& word : kWords)
        if (word.kind == kind) return word.word;
    return "";
}

std::optional<EventKind> kind_named(std::string_view name) {
    for (const Word& word : kWords)
        if (name == word.word) return word.kind;
    return std::nullopt;
}

std::wstring event_text(const Event& event) {
    const std::string_view word = word_of(event.kind);
    std::wstring text(word.begin(), word.end());
    if (!event.detail.empty()) text += L' ' + event.detail;
    return text;
}

std::wstring interruption_detail(LocalTime last_seen) {
    const std::string time = format_time(last_seen);
    return std::wstring(kLastSeen) + std::wstring(time.begin(), time.end());
}

std::optional<LocalTime> last_seen_of(const Event& interruption) {
    const std::wstring& detail = interruption.detail;
    if (!detail.starts_with(kLastSeen)) return std::nullopt;
    return parse_time(to_utf8(std::wstring_view(detail).substr(kLastSeen.size())));
}

}  // namespace relinka
