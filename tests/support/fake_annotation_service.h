#pragma once
// A recording annotation service (IAccPropServices), a real COM object handed to the program's
// Annotations: it keeps what is set on each control as the system keeps it, and answers as a test tells
// it to, refusing a whole request that names a property it is told it does not know (as Windows 7's
// refuses LiveSetting) or every request (as Wine 8's does).
#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "winlib/annotations_win.h"

namespace relinka::testing {

// UI Automation's LiveSetting property (UIAutomationCore's LiveSetting_Property_GUID), and its values.
inline constexpr GUID kLiveSetting{
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
inline constexpr LONG kPolite = 1;

class FakeAnnotationService final : public IAccPropServices {
public:
    // Made with one reference, the caller's.
    static Microsoft::WRL::ComPtr<FakeAnnotationService> make();

    struct Annotated {
        std::optional<std::wstring> name;
        std::optional<LONG> role, live_setting;
        bool operator==(const Annotated&) const = default;
    };
    // What is set on a control's client area (OBJID_CLIENT, CHILDID_SELF), where screen readers look.
    Annotated of(HWND control) const;
    // Controls and parts of controls with anything set on them.
    size_t annotated() const { return annotated_.size(); }

    // Every request after this that names `property` answers `status` and changes nothing.
    void refuse(const MSAAPROPID& property, HRESULT status) { refused_.emplace_back(property, status); }
    // Every request answers `status` and changes nothing.
    void refuse_all(HRESULT status) { refuse_all_ = status; }

    // How many times the service was made (see maker()), and the references held on it now.
    int made() const { return made_; }
    LONG references() const { return references_; }
    // What Annotations asks for its service: this one, counted.
    AnnotationServiceMaker maker();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                                          VARIANT value) override;
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                                             LPCWSTR text) override;
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND hwnd, DWORD object, DWORD child,
                                             const MSAAPROPID* properties, int count) override;

    // What the program never asks for.
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override;
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                            AnnoScope) override;
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override;
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                AnnoScope) override;
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override;
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override;
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                 AnnoScope) override;
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override;
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override;

private:
    FakeAnnotationService() = default;
    ~FakeAnnotationService() = default;
    // The answer to a request that names `properties`: S_OK, or the refusal.
    HRESULT answer(const MSAAPROPID* properties, int count) const;

    using Part = std::tuple<HWND, DWORD, DWORD>;  // window, object, child
    std::map<Part, Annotated> annotated_;
    std::vector<std::pair<MSAAPROPID, HRESULT>> refused_;
    HRESULT refuse_all_ = S_OK;
    int made_ = 0;
    LONG references_ = 1;
};

}  // namespace relinka::testing
