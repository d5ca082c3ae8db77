#pragma once
// Windows starting Relinka again by itself (restart.h): back to the folder it ran in, registered while it
// supervises, and never two of it in one folder because Windows and the operator's Startup shortcut both
// started one at sign-in.
#include <windows.h>

#include "win32/unique_win.h"

namespace relinka {

// Where `command_line` says that Windows started this Relinka again, the folder it ran in becomes the
// current one again. Whether it did.
bool return_to_restart_folder(const wchar_t* command_line);

// The Relinkas of the current folder. One that Windows started again makes way for any other there, and
// any other makes way for one that Windows started again; two that the operator started both stay, as
// they always have.
class RelinkasHere {
public:
    explicit RelinkasHere(bool restarted);
    bool makes_way() const { return makes_way_; }

private:
    UniqueHandle here_, restarted_here_;
    bool makes_way_ = false;
};

// From now on, Windows starts Relinka again in this folder after an update's restart; never after a
// crash or a hang, so that nothing can start it over and over.
void ask_for_restart();
// Relinka ended itself (EchoLink closing, "Encerrar", the close box): Windows must not start it again.
void forget_restart();

}  // namespace relinka
