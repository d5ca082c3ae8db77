#pragma once
// historico.txt and historico-anterior.txt on the disk, in the folder Relinka runs in. Each write opens
// the file and closes it again: nothing holds it between two lines, so the operator can open, copy or
// delete it at any time, and a folder that comes back (a network drive reconnected) is written again.
#include <windows.h>

#include <string>

#include "history/history_writer.h"
#include "winlib/unique_win.h"

namespace relinka {

class WindowsHistoryStorage : public HistoryStorage {
public:
    // `folder` in full, so that the files stay where they were whatever becomes of the current folder.
    explicit WindowsHistoryStorage(const std::wstring& folder);

    StorageResult open(FileEnd& end) override;
    StorageResult append(std::string_view bytes) override;
    StorageResult close() override;
    StorageResult rotate() override;
    StorageResult touch() override;
    StorageResult read_tail(bool previous, std::size_t limit, FileTail& tail) override;

private:
    std::wstring current_, previous_;
    UniqueFile file_;
};

}  // namespace relinka
