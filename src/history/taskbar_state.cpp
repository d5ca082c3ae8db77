#include "history/taskbar_state.h"

namespace relinka {

TaskbarState taskbar_state(bool running, int supervised, int connected, int down) {
    TaskbarState state;
    if (!running) {
        state.overlay = Overlay::Stopped;
        state.description = L"supervisão desligada";
    } else if (supervised == 0) {
        state.description = L"nenhuma estação supervisionada";
    } else {
        state.overlay = down ? Overlay::Disconnected : Overlay::None;
        state.description = std::to_wstring(connected) + L" de " + std::to_wstring(supervised) +
                            (supervised == 1 ? L" estação conectada" : L" estações conectadas");
    }
    state.tooltip = L"Relinka: " + state.description;
    return state;
}

}  // namespace relinka
