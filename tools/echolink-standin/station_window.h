#pragma once
// The stand-in's own small window: the list of links, a button that drops the selected one as the
// network would, and one that closes EchoLink (telling every subscriber first).
#include <windows.h>

#include <memory>
#include <vector>

#include "station_table.h"

namespace standin {

class EchoLinkApp;

class StationWindow {
public:
    static HRESULT open(HINSTANCE instance, EchoLinkApp& app, int show,
                        std::unique_ptr<StationWindow>& out) noexcept;
    StationWindow(const StationWindow&) = delete;
    StationWindow& operator=(const StationWindow&) = delete;
    ~StationWindow();

    HWND handle() const noexcept { return window_; }

private:
    explicit StationWindow(EchoLinkApp& app) noexcept : app_(app) {}

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    void create_controls();
    void refresh();
    void drop_selected();
    void close();

    EchoLinkApp& app_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    std::vector<Station> shown_;  // what the list box shows, row by row
    bool closing_ = false;
};

}  // namespace standin
