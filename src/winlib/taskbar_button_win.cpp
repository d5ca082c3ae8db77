#include "winlib/taskbar_button_win.h"

#include <utility>

#include "winlib/trace_win.h"

namespace relinka {

Microsoft::WRL::ComPtr<ITaskbarList3> system_taskbar_list() {
    Microsoft::WRL::ComPtr<ITaskbarList3> list;
    if (FAILED(traced("taskbar button left as it is: no TaskbarList",
                      CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                       reinterpret_cast<void**>(list.GetAddressOf())))) ||
        FAILED(traced("taskbar button left as it is: HrInit", list->HrInit())))
        list.Reset();
    return list;
}

TaskbarButton::TaskbarButton(HWND window, TaskbarListMaker make_list, ThumbnailButton button)
    : window_(window),
      make_list_(std::move(make_list)),
      created_(RegisterWindowMessageW(L"TaskbarButtonCreated")),
      button_(std::move(button)) {
    // Explorer's message reaches a Relinka run as administrator only if let through.
    if (!ChangeWindowMessageFilterEx(window, created_, MSGFLT_ALLOW, nullptr))
        trace_last_error(
            "ChangeWindowMessageFilterEx TaskbarButtonCreated, an elevated Relinka's mark may go");
}

ITaskbarList3* TaskbarButton::list() {
    if (!std::exchange(asked_for_list_, true)) list_ = make_list_();
    return list_.Get();
}

void TaskbarButton::show(HICON mark, const std::wstring& description, const std::wstring& tooltip) {
    if (shown_ && mark == mark_ && description == description_ && tooltip == tooltip_) return;
    const bool first = !std::exchange(shown_, true);
    mark_ = mark;
    description_ = description;
    tooltip_ = tooltip;
    ITaskbarList3* const list = this->list();
    if (!list) return;
    // Until Explorer has made the button these may fail; they are made again once it has.
    if (first) {
        set_everything();
        return;
    }
    traced("SetOverlayIcon, the mark stays as it was",
           list->SetOverlayIcon(window_, mark_, description_.c_str()));
    traced("SetThumbnailTooltip, the tooltip stays as it was",
           list->SetThumbnailTooltip(window_, tooltip_.c_str()));
}

bool TaskbarButton::follow(UINT message) {
    if (message != created_ || !created_) return false;
    if (shown_ && list()) set_everything();
    return true;
}

void TaskbarButton::set_everything() {
    THUMBBUTTON button{};
    button.dwMask = THB_ICON | THB_TOOLTIP | THB_FLAGS;
    button.iId = button_.id;
    button.hIcon = button_.icon;
    lstrcpynW(button.szTip, button_.tip.c_str(), ARRAYSIZE(button.szTip));
    button.dwFlags = THBF_ENABLED;
    traced("ThumbBarAddButtons, the thumbnail has no button", list_->ThumbBarAddButtons(window_, 1, &button));
    traced("SetOverlayIcon, no mark", list_->SetOverlayIcon(window_, mark_, description_.c_str()));
    traced("SetThumbnailTooltip, no tooltip", list_->SetThumbnailTooltip(window_, tooltip_.c_str()));
}

}  // namespace relinka
