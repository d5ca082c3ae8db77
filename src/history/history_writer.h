#pragma once
// Keeping historico.txt: lines appended in order, a torn last line ended before the next, the file
// handed over to historico-anterior.txt before it passes 1 MiB, and, while the file cannot be written,
// the lines kept (a bounded number) for when it can. Whoever owns the storage calls it from one thread.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/event.h"

namespace relinka {

// Why the storage refused: the system's error code and its words for it.
struct StorageFailure {
    std::uint32_t code = 0;
    std::wstring words;
    bool operator==(const StorageFailure&) const = default;
};
using StorageResult = std::optional<StorageFailure>;  // nothing: done

// What the window says of a failure, in Portuguese.
std::wstring unwritable_reason(const StorageFailure& failure);

struct FileEnd {
    std::uint64_t size = 0;
    int last_byte = -1;  // -1 when the file is empty
};

struct FileTail {
    bool exists = false;
    std::string bytes;   // the last bytes, up to the limit asked for
    bool whole = false;  // they are the whole file
    LocalTime last_written;
};

// historico.txt (the current file) and historico-anterior.txt (the previous one).
class HistoryStorage {
public:
    virtual ~HistoryStorage() = default;
    // Opens the current file for appending, made if missing.
    virtual StorageResult open(FileEnd& end) = 0;
    virtual StorageResult append(std::string_view bytes) = 0;
    // Closes the file opened, its bytes on the disk.
    virtual StorageResult close() = 0;
    // The current file, closed, becomes the previous one, replacing it.
    virtual StorageResult rotate() = 0;
    // The current file's last-write time becomes now; nothing to do where there is no file.
    virtual StorageResult touch() = 0;
    // Nothing to read is no failure: `tail.exists` is then false.
    virtual StorageResult read_tail(bool previous, std::size_t limit, FileTail& tail) = 0;
};

class HistoryWriter {
public:
    static constexpr std::uint64_t kLargestFile = 1 << 20;  // each of the two files
    static constexpr std::size_t kBacklog = 2000;           // lines kept while the file cannot be written
    // What is read of the files at the start: far more lines than the window keeps, and a bounded time
    // whatever the files hold.
    static constexpr std::size_t kTailRead = 256 * 1024;

    explicit HistoryWriter(HistoryStorage& storage) : storage_(storage) {}

    // Reads the end of the files, once, before anything is written: their events, oldest first. Where the
    // last of them does not end a run, the run before was interrupted: an `interrompido` event, dated
    // `started_at` and saying when that run was last seen running (the file's last write), comes last,
    // and is queued ahead of everything else.
    std::vector<Event> begin(LocalTime started_at);
    // Queued; when the backlog is full the oldest line goes, and is counted as lost.
    void add(std::string line);
    // Writes the queued lines in order, and stops at the first failure: failure() then says why.
    void write();
    // The current file's last-write time set to now, which is when this run was last known to be
    // running should it be interrupted.
    void keep_fresh();

    std::size_t waiting() const { return queue_.size(); }
    std::size_t lost() const { return lost_; }
    const StorageResult& failure() const { return failure_; }

private:
    HistoryStorage& storage_;
    std::deque<std::string> queue_;
    std::size_t lost_ = 0;
    StorageResult failure_;
};

}  // namespace relinka
