#pragma once
// Receives EchoLink's events across processes and reacts to Closing only. Its methods are COM methods:
// nothing thrown by the handler crosses them.
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <atomic>
#include <functional>

namespace relinka {

class ClosingSink final : public IDispatch {
public:
    // `closing` is the dispatch id of Closing; DISPID_UNKNOWN reads it from the registered type library
    // when the first event arrives, which keeps that work out of start-up.
    explicit ClosingSink(std::function<void()> on_closing, DISPID closing = DISPID_UNKNOWN);

    // Once the link is gone, a late event finds nobody to tell.
    void disarm() noexcept { on_closing_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override;

    // The dispatch id of Closing: the first function of the event interface in the registered type
    // library; 1 where the library cannot be read.
    static DISPID registered_closing_dispid();

private:
    std::function<void()> on_closing_;
    DISPID closing_;
    std::atomic<ULONG> references_{1};
};

}  // namespace relinka
