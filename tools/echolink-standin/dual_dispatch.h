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
    explicit DualDispatch(ComPtr<ITypeInfo> typeInfo) : typeInfo_(std::move(typeInfo)) {}
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
        return typeInfo_.CopyTo(info);
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID reserved, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override {
        if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        return typeInfo_->Invoke(static_cast<Interface*>(this), member, flags, parameters, result, exception,
                                 badArgument);
    }

private:
    ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace standin
