#include "history/taskbar_state.h"

namespace relinka {

TaskbarState taskbar_state(bool running, int connected, int read) {
    TaskbarState state;
    if (!running) {
        state.overlay = Overlay::Stopped;
        state.description = L"supervisão desligada";
    } else if (read == 0) {
        state.description = L"nenhuma estação supervisionada";
    } else {
        state.overlay = connected < read ? Overlay::Disconnected : Overlay::None;
        state.description = std::to_wstring(connected) + L" de " + std::to_wstring(read) +
                            (read == 1 ? L" estação conectada" : L" estações conectadas");
    }
    state.tooltip = L"Relinka: " + state.description;
    return state;
}

}  // namespace relinka
