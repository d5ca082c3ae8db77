#pragma once
// A wait on the user-interface thread that keeps the program answering: what Windows, screen readers
// and other programs send, painting, timers (the animations) and COM's incoming calls (EchoLink's
// Closing) are handled as they come. What stands for the operator's input is held back and queued again,
// in its order, when the wait ends, so that a click made meanwhile runs after what waited.
#include <windows.h>

namespace relinka {

// Whether a message posted during a wait stands for the operator's input: keyboard and mouse messages
// (programs and screen readers post them too), a button's click, commands, and asking a window to close.
bool held_during_wait(UINT message);

// Waits `milliseconds`, handling meanwhile every message but those held, which are posted again when it
// ends. WM_QUIT ends it at once and is posted again for the message loop. The keyboard's and the mouse's
// own queue is not read: that input is taken by the message loop afterwards, as after a sleep.
void wait_answering(DWORD milliseconds);

}  // namespace relinka
