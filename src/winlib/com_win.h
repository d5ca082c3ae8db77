#pragma once
// The edges of COM, for the program, its tests and the EchoLink stand-in alike: the apartment a thread
// lives in, the barrier that keeps C++ exceptions from crossing a COM method, a message filter's
// defaults, and taking over a reference already owned.
#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <source_location>

#include "winlib/trace_win.h"

namespace relinka {

// The calling thread in a single-threaded apartment, for as long as this lives.
class ComApartment {
public:
    ComApartment() noexcept : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};

// Runs a COM method's body, which returns its HRESULT, so that no exception leaves the method: an
// exception becomes E_OUTOFMEMORY or E_UNEXPECTED for the caller in the other process, and a trace line
// that names the method.
template <class Body>
[[nodiscard]] HRESULT com_barrier(
    Body&& body, const std::source_location method = std::source_location::current()) noexcept {
    try {
        return body();
    } catch (...) {
        return trace_exception(method.function_name());
    }
}

// A message filter that lives as long as the program: one static object, so no reference is counted. As
// it stands it does what COM does without one (every incoming call handled, a rejected call given up,
// messages left to their default); a filter overrides what it does otherwise.
class StaticMessageFilter : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
        if (!object) return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IMessageFilter) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) noexcept override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) noexcept override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) noexcept override {
        return PENDINGMSG_WAITDEFPROCESS;
    }
};

// An owner for a reference the caller already holds (a new object's first, or one a function returned).
// mingw-w64's ComPtr::Attach adds a reference of its own, unlike the Windows SDK's, and so would keep the
// object alive for good.
template <class Interface>
[[nodiscard]] Microsoft::WRL::ComPtr<Interface> adopt(Interface* owned) noexcept {
    Microsoft::WRL::ComPtr<Interface> owner;
    *owner.GetAddressOf() = owned;
    return owner;
}

}  // namespace relinka
