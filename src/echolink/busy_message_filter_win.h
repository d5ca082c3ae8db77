#pragma once
// COM's message filter for the user-interface thread. On Windows, a call that a busy EchoLink (a dialog
// of its own open) turns away comes back to the caller's filter, which has COM try it again, while the
// thread keeps answering, for as long as busy.h allows; without a filter COM gives up at once. Incoming
// calls (EchoLink's Closing) are always taken, and messages that arrive during a call are left to COM's
// default handling.
#include <windows.h>
#include <objidl.h>

namespace relinka {

// For the calling thread's apartment, from now on; a failure is traced, and busy calls then fail at once
// (the binding still tries their results again).
void use_busy_message_filter();

}  // namespace relinka
