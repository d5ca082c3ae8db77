#pragma once
// What the stand-in's tests share: an owned BSTR, and an event sink that writes what it receives into
// a trace the test compares as a whole.
#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

#include "com_support.h"
#include "standin_control.h"

namespace standin {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text)
        : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(text_); }

    BSTR get() const noexcept { return text_; }
    BSTR* out() noexcept {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }
    std::wstring text() const { return std::wstring(text_of(text_)); }

private:
    BSTR text_ = nullptr;
};

using Trace = std::vector<std::wstring>;

// Writes "<name> <dispid>" for each event call with DISPATCH_METHOD and no arguments, and
// "<name> unexpected call" for anything else.
class RecordingSink final : public IDispatch {
public:
    RecordingSink(Trace& trace, std::wstring name) : trace_(trace), name_(std::move(name)) {}

    HRESULT answer = S_OK;  // what Invoke returns
    bool implements_event_interface = true;
    std::function<void()> during_invoke;  // runs inside Invoke, after recording
    bool* destroyed = nullptr;            // set once the last reference has gone

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch ||
            (implements_event_interface && iid == DIID_IEchoLinkAppEvents)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        const bool plain_call = flags == DISPATCH_METHOD && parameters && parameters->cArgs == 0;
        trace_.push_back(name_ + (plain_call ? L" " + std::to_wstring(member) : L" unexpected call"));
        if (during_invoke) during_invoke();
        return answer;
    }

private:
    ~RecordingSink() {
        if (destroyed) *destroyed = true;
    }

    LONG references_ = 1;
    Trace& trace_;
    std::wstring name_;
};

inline ComPtr<RecordingSink> make_sink(Trace& trace, std::wstring name) {
    return adopt(new RecordingSink(trace, std::move(name)));
}

}  // namespace standin
