#pragma once
// Owners for Windows handles: one move-only template, with a close function per kind of handle.
#include <windows.h>

#include <utility>

namespace relinka {

template <class Handle, auto Close>
class Unique {
public:
    Unique() = default;
    explicit Unique(Handle handle) : handle_(handle) {}
    Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

inline void close_gdi_object(HGDIOBJ object) { DeleteObject(object); }

using UniqueFont = Unique<HFONT, close_gdi_object>;
using UniqueBrush = Unique<HBRUSH, close_gdi_object>;
using UniqueBitmap = Unique<HBITMAP, close_gdi_object>;
using UniqueIcon = Unique<HICON, DestroyIcon>;
// CreateFileW and FindFirstFileW say "none" with INVALID_HANDLE_VALUE; the owners hold null instead.
inline HANDLE null_if_invalid(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
using UniqueFile = Unique<HANDLE, CloseHandle>;
using UniqueFind = Unique<HANDLE, FindClose>;
using UniqueBstr = Unique<BSTR, SysFreeString>;

}  // namespace relinka
