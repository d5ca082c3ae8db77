#include "support/fake_annotation_service.h"

#include <algorithm>
#include <span>

#include "winlib/com_win.h"

namespace relinka::testing {

Microsoft::WRL::ComPtr<FakeAnnotationService> FakeAnnotationService::make() {
    return adopt(new FakeAnnotationService);
}

FakeAnnotationService::Annotated FakeAnnotationService::of(HWND control) const {
    const auto found = annotated_.find({control, OBJID_CLIENT, CHILDID_SELF});
    return found == annotated_.end() ? Annotated{} : found->second;
}

AnnotationServiceMaker FakeAnnotationService::maker() {
    return [this] {
        ++made_;
        return Microsoft::WRL::ComPtr<IAccPropServices>(this);
    };
}

HRESULT FakeAnnotationService::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IAccPropServices) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IAccPropServices*>(this);
    AddRef();
    return S_OK;
}

ULONG FakeAnnotationService::AddRef() { return ++references_; }

ULONG FakeAnnotationService::Release() {
    const LONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT FakeAnnotationService::answer(const MSAAPROPID* properties, int count) const {
    if (FAILED(refuse_all_)) return refuse_all_;
    for (const auto& [property, status] : refused_)
        if (std::find(properties, properties + count, property) != properties + count) return status;
    return S_OK;
}

HRESULT FakeAnnotationService::SetHwndProp(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                                           VARIANT value) {
    if (const HRESULT refusal = answer(&property, 1); FAILED(refusal)) return refusal;
    const Part part{hwnd, object, child};
    if (property == PROPID_ACC_NAME && value.vt == VT_BSTR)
        annotated_[part].name = value.bstrVal ? value.bstrVal : L"";
    else if (property == PROPID_ACC_ROLE && value.vt == VT_I4)
        annotated_[part].role = value.lVal;
    else if (property == kLiveSetting && value.vt == VT_I4)
        annotated_[part].live_setting = value.lVal;
    else  // nothing a screen reader would read as what the program meant
        return E_INVALIDARG;
    return S_OK;
}

HRESULT FakeAnnotationService::SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                                              LPCWSTR text) {
    if (const HRESULT refusal = answer(&property, 1); FAILED(refusal)) return refusal;
    if (property != PROPID_ACC_NAME || !text) return E_INVALIDARG;
    annotated_[{hwnd, object, child}].name = text;
    return S_OK;
}

HRESULT FakeAnnotationService::ClearHwndProps(HWND hwnd, DWORD object, DWORD child,
                                              const MSAAPROPID* properties, int count) {
    if (const HRESULT refusal = answer(properties, count); FAILED(refusal)) return refusal;
    const auto found = annotated_.find({hwnd, object, child});
    if (found == annotated_.end()) return S_OK;
    Annotated& annotated = found->second;
    for (const MSAAPROPID& property : std::span(properties, count)) {
        if (property == PROPID_ACC_NAME) annotated.name.reset();
        if (property == PROPID_ACC_ROLE) annotated.role.reset();
        if (property == kLiveSetting) annotated.live_setting.reset();
    }
    if (annotated == Annotated{}) annotated_.erase(found);
    return S_OK;
}

HRESULT FakeAnnotationService::SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) { return E_NOTIMPL; }
HRESULT FakeAnnotationService::SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                             AnnoScope) {
    return E_NOTIMPL;
}
HRESULT FakeAnnotationService::ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) { return E_NOTIMPL; }
HRESULT FakeAnnotationService::SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                 AnnoScope) {
    return E_NOTIMPL;
}
HRESULT FakeAnnotationService::ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) {
    return E_NOTIMPL;
}
HRESULT FakeAnnotationService::DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) {
    return E_NOTIMPL;
}
HRESULT FakeAnnotationService::SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) { return E_NOTIMPL; }
HRESULT FakeAnnotationService::SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) { return E_NOTIMPL; }
HRESULT FakeAnnotationService::SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                  AnnoScope) {
    return E_NOTIMPL;
}
HRESULT FakeAnnotationService::ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) { return E_NOTIMPL; }
HRESULT FakeAnnotationService::ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) { return E_NOTIMPL; }
HRESULT FakeAnnotationService::DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) {
    return E_NOTIMPL;
}

}  // namespace relinka::testing
