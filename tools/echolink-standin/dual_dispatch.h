#pragma once
// IDispatch of one dual interface, answered from that interface's type information. An object with two
// dual interfaces derives from this once per interface, so each vtable gets its own IDispatch.
#include <windows.h>
#include <cguid.h>
#include <oleauto.h>

#include "com_support.h"

namespace standin {

template <class Interface>
class DualDispatch : public Interface {
protected:
    explicit DualDispatch(ComPtr<ITypeInfo> type_info) : type_info_(std::move(type_info)) {}
    ~DualDispatch() = default;

public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return type_info_.CopyTo(info);
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return DispGetIDsOfNames(type_info_.Get(), names, count, ids);
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID reserved, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* bad_argument) override {
        if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        return type_info_->Invoke(static_cast<Interface*>(this), member, flags, parameters, result, exception,
                                  bad_argument);
    }

private:
    ComPtr<ITypeInfo> type_info_;
};

}  // namespace standin
