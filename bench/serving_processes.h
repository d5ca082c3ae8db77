#pragma once
// The Linux processes that do part of a Wine program's work on its behalf, found through drive Z: (the
// Linux root): the wineserver of its prefix, which every window, message and handle goes through, and the
// X server of its display, which does every drawing.
#include <string>

namespace relinka::testing {

struct LinuxProcess {
    long id = 0;            // 0 when not found
    std::string name;       // as Linux calls it: "wineserver64", "Xvfb"
    std::string not_found;  // why, when not found
};

LinuxProcess wineserver_of_this_prefix();
// The X server that listens on this process's DISPLAY.
LinuxProcess x_server_of_this_display();

}  // namespace relinka::testing
