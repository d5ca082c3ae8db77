#pragma once
// Windows starting Relinka again by itself (restart.h): back to the folder it ran in, registered while it
// supervises, and never two of it in one folder because Windows and the operator's Startup shortcut both
// started one at sign-in (folder_claim.h).
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "winlib/unique_win.h"

namespace relinka {

// The folder Relinka works in, where amigos.txt is.
struct WorkingFolder {
    std::wstring path;
    bool restarted;  // Windows started this Relinka again, in the folder it ran in
};

// Where `command_line` says that Windows started this Relinka again, the folder it ran in becomes the
// current one again. A folder that cannot be entered (a network or USB drive not there yet at sign-in) is
// tried again for two minutes, showing nothing; then the operator is told which folder it was, and there
// is no working folder. Otherwise the current folder is.
std::optional<WorkingFolder> enter_working_folder(const wchar_t* command_line);

// The Relinkas of the working folder: this one's marks, held for as long as it runs, and whether it makes
// way for another.
class RelinkasHere {
public:
    explicit RelinkasHere(const WorkingFolder& folder);
    bool makes_way() const { return makes_way_; }

private:
    std::vector<UniqueHandle> marks_;
    bool makes_way_ = false;
};

// From now on, Windows starts Relinka again in `folder` after an update's restart; never after a crash
// or a hang, so that nothing can start it over and over. Not asked by a Relinka running as administrator:
// Windows starts programs again without those rights, so EchoLink would be out of its reach (the Task
// Scheduler starts such a station's Relinka).
// Whether it was asked.
[[nodiscard]] bool ask_for_restart(const std::wstring& folder);
// Relinka ended itself (EchoLink closing, "Encerrar", the close box): Windows must not start it again.
void forget_restart();

}  // namespace relinka
