#pragma once
// The stand-in's own small window: the list of links, a button that drops the selected one as the
// network would, and one that closes EchoLink (telling every subscriber first).
#include <windows.h>

#include <memory>
#include <vector>

#include "station_table.h"
#include "winlib/window_win.h"

namespace standin {

class EchoLinkApp;

// A window of the program's kind (relinka::Window): the same window procedure binds it.
class StationWindow final : public relinka::Window {
public:
    static HRESULT open(EchoLinkApp& app, int show, std::unique_ptr<StationWindow>& out) noexcept;

private:
    explicit StationWindow(EchoLinkApp& app) noexcept : app_(app) {}

    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam) override;
    void create_controls();
    void refresh();
    void drop_selected();
    void close();

    EchoLinkApp& app_;
    HWND list_ = nullptr;
    std::vector<Station> shown_;  // what the list box shows, row by row
    bool closing_ = false;
};

}  // namespace standin
