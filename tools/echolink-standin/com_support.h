#pragma once
// Small bridges between C++ and COM used throughout the stand-in.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>
#include <string_view>

#include "winlib/com_win.h"

namespace standin {

using Microsoft::WRL::ComPtr;

// A BSTR's text, embedded NULs included; a null BSTR is the empty string, as COM defines it.
inline std::wstring_view text_of(BSTR text) noexcept {
    return text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view();
}

inline HRESULT copy_to_bstr(std::wstring_view text, BSTR* out) noexcept {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The program's own apartment owner, exception barrier, and owner of a new object's first reference.
using relinka::adopt;
using relinka::com_barrier;
using relinka::ComApartment;

}  // namespace standin
