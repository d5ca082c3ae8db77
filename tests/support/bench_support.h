#pragma once
// What the benchmarks share: stopping with the reason when a sample cannot be counted, the eight stations
// they supervise, and the main window made in the benchmark's own process beside the stand-in.
#include <windows.h>

#include <string>

#include "app/amigos.h"
#include "app/amigos_window_win.h"
#include "app/system_desktop_win.h"
#include "winlib/annotations_win.h"

namespace relinka::testing {

// Stops a benchmark whose sample cannot be counted, so that no wrong figure is printed: says why on the
// standard error, after the benchmark's name, and gives the exit code to end with (2).
int refuse(const std::string& reason);

// Station 1..8 of eight whose callsigns share `prefix`, the last letter A to H.
std::wstring station(const std::wstring& prefix, int slot);
// A friends file in `folder` that lists the eight, slot by slot; false if it could not be written.
bool write_stations(const std::wstring& folder, const std::wstring& prefix);

// The main window and its handlers in this process, as relinka.exe makes them, with EchoLink's object
// (the stand-in) and the timer stopped: the benchmark ticks by itself.
struct MainWindowHere {
    explicit MainWindowHere(SystemDesktop& desktop);
    // The eight stations of `prefix` typed into their boxes and ticked.
    void supervise(const std::wstring& prefix);

    Annotations annotations{system_annotation_service};  // as relinka.exe has it
    Shell shell;
    AmigosWindow window;
    Amigos amigos;
    bool made = false;  // false when Windows would not make the window; the rest is then not done
};

}  // namespace relinka::testing
