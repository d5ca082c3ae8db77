#pragma once
// A recording ITaskbarList3, a real COM object handed to the program's TaskbarButton: Wine draws no
// marks on a taskbar button, so what the program asks of the taskbar is read from here.
#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "winlib/com_win.h"
#include "winlib/taskbar_button_win.h"

namespace relinka::testing {

class FakeTaskbarList final : public ITaskbarList3 {
public:
    static Microsoft::WRL::ComPtr<FakeTaskbarList> make() { return adopt(new FakeTaskbarList); }
    TaskbarListMaker maker() {
        return [this] { return Microsoft::WRL::ComPtr<ITaskbarList3>(this); };
    }
    // "SetOverlayIcon(mark, 1 de 2 estações conectadas)", "SetThumbnailTooltip(...)",
    // "ThumbBarAddButtons(id, tip)", in order.
    std::vector<std::wstring> calls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_ITaskbarList && iid != IID_ITaskbarList2 &&
            iid != IID_ITaskbarList3) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<ITaskbarList3*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON icon, LPCWSTR description) override {
        calls.push_back(std::wstring(L"SetOverlayIcon(") + (icon ? L"mark, " : L"none, ") + description +
                        L")");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR tip) override {
        calls.push_back(std::wstring(L"SetThumbnailTooltip(") + tip + L")");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT count, LPTHUMBBUTTON buttons) override {
        for (UINT i = 0; i < count; ++i)
            calls.push_back(L"ThumbBarAddButtons(" + std::to_wstring(buttons[i].iId) + L", " +
                            buttons[i].szTip + (buttons[i].hIcon ? L", icon)" : L", no icon)"));
        return S_OK;
    }

    // What the program never asks for.
    HRESULT STDMETHODCALLTYPE HrInit() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG, ULONGLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }

private:
    FakeTaskbarList() = default;
    ~FakeTaskbarList() = default;
    ULONG references_ = 1;
};

}  // namespace relinka::testing
