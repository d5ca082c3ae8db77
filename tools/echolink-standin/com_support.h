#pragma once
// Small bridges between C++ and COM used throughout the stand-in.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <new>
#include <string>
#include <string_view>

namespace standin {

using Microsoft::WRL::ComPtr;

// A BSTR's text, embedded NULs included; a null BSTR is the empty string, as COM defines it.
inline std::wstring_view textOf(BSTR text) noexcept {
    return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
}

inline HRESULT copyToBstr(std::wstring_view text, BSTR* out) noexcept {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The calling thread's single-threaded apartment, for as long as this lives.
class ComApartment {
public:
    ComApartment() noexcept : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};

// Runs a COM method's body so that no exception leaves it.
template <class Body>
HRESULT comBarrier(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace standin
