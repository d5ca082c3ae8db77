#include "history/history_writer.h"

#include "history/history_line.h"

namespace relinka {

namespace {

// What goes before the next line: the byte-order mark in an empty file, and the end of a line a power
// cut tore, so that the next line starts on a line of its own.
std::string_view separator(const FileEnd& end) {
    if (end.size == 0) return kByteOrderMark;
    if (end.last_byte == '\n') return {};
    return end.last_byte == '\r' ? "\n" : "\r\n";
}

}  // namespace

std::wstring unwritable_reason(const StorageFailure& failure) {
    switch (failure.code) {
        case 2:     // ERROR_FILE_NOT_FOUND
        case 3:     // ERROR_PATH_NOT_FOUND
        case 15:    // ERROR_INVALID_DRIVE
        case 21:    // ERROR_NOT_READY
        case 53:    // ERROR_BAD_NETPATH
        case 64:    // ERROR_NETNAME_DELETED
        case 67:    // ERROR_BAD_NET_NAME
        case 1231:  // ERROR_NETWORK_UNREACHABLE
            return L"a pasta não foi encontrada (foi apagada ou renomeada, ou está numa unidade de rede ou "
                   L"removível que não está disponível)";
        case 5:   // ERROR_ACCESS_DENIED
        case 19:  // ERROR_WRITE_PROTECT
            return L"o Windows não deixa gravar ali (o arquivo ou a pasta é somente leitura, ou falta "
                   L"permissão)";
        case 32:  // ERROR_SHARING_VIOLATION
        case 33:  // ERROR_LOCK_VIOLATION
            return L"o arquivo está aberto em outro programa, que não deixa gravar nele";
        case 39:   // ERROR_HANDLE_DISK_FULL
        case 112:  // ERROR_DISK_FULL
            return L"o disco está cheio";
    }
    return L"erro " + std::to_wstring(failure.code) + L": " + failure.words;
}

std::vector<Event> HistoryWriter::begin(LocalTime started_at) {
    FileTail current, previous;
    failure_ = storage_.read_tail(false, kTailRead, current);
    if (!current.exists || (current.whole && current.bytes.size() < kTailRead))
        storage_.read_tail(true, kTailRead - current.bytes.size(), previous);
    std::vector<Event> events = read_tail(previous.bytes, previous.whole);
    const std::vector<Event> newer = read_tail(current.bytes, current.whole);
    events.insert(events.end(), newer.begin(), newer.end());
    if (events.empty() || events.back().kind == EventKind::Ended) return events;
    // The file was last written (or kept fresh) while that run still ran.
    const FileTail& holder = newer.empty() ? previous : current;
    LocalTime last_seen = events.back().time;
    if (holder.last_written.utc_seconds > last_seen.utc_seconds) last_seen = holder.last_written;
    if (last_seen.utc_seconds > started_at.utc_seconds) last_seen = started_at;
    events.push_back({started_at, 0, {}, EventKind::Interrupted, interruption_detail(last_seen)});
    queue_.push_front(format_line(events.back()));
    return events;
}

void HistoryWriter::add(std::string line) {
    if (queue_.size() >= kBacklog) {
        queue_.pop_front();
        ++lost_;
    }
    queue_.push_back(std::move(line));
}

void HistoryWriter::write() {
    if (queue_.empty()) return;
    FileEnd end;
    if ((failure_ = storage_.open(end))) return;
    while (!queue_.empty()) {
        const std::string& line = queue_.front();
        if (end.size > 0 && end.size + separator(end).size() + line.size() > kLargestFile) {
            if ((failure_ = storage_.rotate()) || (failure_ = storage_.open(end))) return;
        }
        const std::string bytes = std::string(separator(end)) + line;
        if ((failure_ = storage_.append(bytes))) {
            storage_.close();
            return;
        }
        end = {end.size + bytes.size(), '\n'};
        queue_.pop_front();
    }
    failure_ = storage_.close();
}

void HistoryWriter::keep_fresh() {
    StorageResult result = storage_.touch();
    // Lines still waiting say more about the file than a touch that worked.
    if (result || queue_.empty()) failure_ = std::move(result);
}

}  // namespace relinka
