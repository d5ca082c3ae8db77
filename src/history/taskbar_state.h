#pragma once
// What Relinka's taskbar button says of the supervision, for an operator who keeps it minimized: a mark
// over the icon while a station is down or the supervision is stopped, and the same in words.
#include <string>

namespace relinka {

enum class Overlay { None, Disconnected, Stopped };

struct TaskbarState {
    Overlay overlay = Overlay::None;
    std::wstring description;  // of the mark, for screen readers
    std::wstring tooltip;      // of the button's thumbnail
    bool operator==(const TaskbarState&) const = default;
};

// Of `supervised` stations, `connected` read "conectado" and `down` "desconectado" (the others have no
// reading yet).
TaskbarState taskbar_state(bool running, int supervised, int connected, int down);

}  // namespace relinka
