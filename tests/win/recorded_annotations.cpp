#include "recorded_annotations.h"

#include <gtest/gtest.h>

namespace relinka::testing {

const RecordedAnnotations::Annotated* RecordedAnnotations::of(HWND control) const {
    const auto found = annotated_.find({control, DWORD(OBJID_CLIENT), DWORD(CHILDID_SELF)});
    return found == annotated_.end() ? nullptr : &found->second;
}

HRESULT RecordedAnnotations::QueryInterface(REFIID id, void** object) {
    if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, IID_IAccPropServices)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IAccPropServices*>(this);
    return S_OK;
}

// The types Windows takes for each property (a name is a BSTR, a role or a live setting a VT_I4).
HRESULT RecordedAnnotations::SetHwndProp(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                                         VARIANT value) {
    ++requests;
    Annotated& annotated = annotated_[{hwnd, object, child}];
    if (IsEqualGUID(property, PROPID_ACC_NAME) && value.vt == VT_BSTR)
        annotated.name = value.bstrVal;
    else if (IsEqualGUID(property, PROPID_ACC_ROLE) && value.vt == VT_I4)
        annotated.role = value.lVal;
    else if (IsEqualGUID(property, kLiveSettingProperty) && value.vt == VT_I4)
        annotated.live_setting = value.lVal;
    else
        return E_INVALIDARG;
    return S_OK;
}

HRESULT RecordedAnnotations::SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                                            LPCWSTR text) {
    ++requests;
    if (!IsEqualGUID(property, PROPID_ACC_NAME)) return E_INVALIDARG;
    annotated_[{hwnd, object, child}].name = text;
    return S_OK;
}

HRESULT RecordedAnnotations::ClearHwndProps(HWND hwnd, DWORD object, DWORD child,
                                            const MSAAPROPID* properties, int count) {
    ++requests;
    const auto found = annotated_.find({hwnd, object, child});
    if (found == annotated_.end()) return S_OK;
    for (int i = 0; i < count; ++i) {
        if (IsEqualGUID(properties[i], PROPID_ACC_NAME)) found->second.name.reset();
        if (IsEqualGUID(properties[i], PROPID_ACC_ROLE)) found->second.role.reset();
        if (IsEqualGUID(properties[i], kLiveSettingProperty)) found->second.live_setting.reset();
    }
    const Annotated& left = found->second;
    if (!left.name && !left.role && !left.live_setting) annotated_.erase(found);
    return S_OK;
}

HRESULT RecordedAnnotations::unused() {
    ADD_FAILURE() << "an annotation request the program has no use for";
    return E_NOTIMPL;
}

}  // namespace relinka::testing
