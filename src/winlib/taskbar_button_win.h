#pragma once
// A window's button on the taskbar (Windows 7 on): a mark over its icon with a description that screen
// readers read, its thumbnail's tooltip, and a button in its thumbnail. Through ITaskbarList3: the program
// passes the system's (system_taskbar_list), the tests one that records. Explorer makes the taskbar
// button after the window shows, and again whenever Explorer restarts, each time telling the window
// with TaskbarButtonCreated: everything is set then, and otherwise only when it changes.
#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <functional>
#include <string>

namespace relinka {

using TaskbarListMaker = std::function<Microsoft::WRL::ComPtr<ITaskbarList3>()>;

// Null, traced, where Windows has none.
Microsoft::WRL::ComPtr<ITaskbarList3> system_taskbar_list();

struct ThumbnailButton {
    UINT id;  // the window gets WM_COMMAND with it and THBN_CLICKED when it is pressed
    HICON icon;
    std::wstring tip;
};

class TaskbarButton {
public:
    // `make_list` is asked once, at the first request.
    TaskbarButton(HWND window, TaskbarListMaker make_list, ThumbnailButton button);

    // The mark (null for none), its description and the thumbnail's tooltip.
    void show(HICON mark, const std::wstring& description, const std::wstring& tooltip);
    // True for TaskbarButtonCreated.
    bool follow(UINT message);

private:
    ITaskbarList3* list();
    void set_everything();

    HWND window_;
    TaskbarListMaker make_list_;
    Microsoft::WRL::ComPtr<ITaskbarList3> list_;
    bool asked_for_list_ = false;
    const UINT created_;
    ThumbnailButton button_;
    bool shown_ = false;
    HICON mark_ = nullptr;
    std::wstring description_, tooltip_;
};

}  // namespace relinka
