#pragma once
// What a screen reader calls the main window's controls whose names change as the program runs: a
// station's status label, named for its slot and what it shows, and the running indicator.
#include <string>
#include <string_view>

namespace relinka {

// "Estação 3: conectado". A blank caption, the unticked slot's single space or none before the first
// tick, is no status.
std::wstring status_label_name(int slot, std::wstring_view caption);

// "Supervisão ligada" while the cycle runs, "Supervisão desligada" while it is stopped.
const wchar_t* indicator_name(bool running);

}  // namespace relinka
