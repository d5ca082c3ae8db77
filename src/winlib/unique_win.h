#pragma once
// Owners for Windows handles: one move-only template, with a close function and an "invalid" value per
// kind of handle, and owners for pairs that Windows hands out together (a window's DC, an object
// selected into a DC).
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <utility>

namespace relinka {

// `Invalid` is the value that means "none": 0 for most handles, -1 (INVALID_HANDLE_VALUE) for files and
// searches.
template <class Handle, auto Close, std::intptr_t Invalid = 0>
class Unique {
public:
    static Handle invalid() noexcept { return reinterpret_cast<Handle>(Invalid); }

    Unique() noexcept = default;
    explicit Unique(Handle handle) noexcept : handle_(handle) {}
    Unique(Unique&& other) noexcept : handle_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != invalid(); }
    void reset(Handle handle = invalid()) noexcept {
        if (handle_ != invalid()) Close(handle_);
        handle_ = handle;
    }
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, invalid()); }
    // For a function that hands a new handle back through a pointer; the old one is closed first.
    Handle* put() noexcept {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = invalid();
};

inline void close_gdi_object(HGDIOBJ object) noexcept { DeleteObject(object); }

using UniqueFont = Unique<HFONT, close_gdi_object>;
using UniqueBrush = Unique<HBRUSH, close_gdi_object>;
using UniquePen = Unique<HPEN, close_gdi_object>;
using UniqueBitmap = Unique<HBITMAP, close_gdi_object>;
using UniqueIcon = Unique<HICON, DestroyIcon>;
using UniqueMemoryDc = Unique<HDC, DeleteDC>;      // from CreateCompatibleDC
using UniqueHandle = Unique<HANDLE, CloseHandle>;  // events, mappings, threads, processes
using UniqueFile = Unique<HANDLE, CloseHandle, -1>;
using UniqueFind = Unique<HANDLE, FindClose, -1>;
using UniqueBstr = Unique<BSTR, SysFreeString>;

// A window's device context (GetDC), given back to that window; null window: the screen's.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context; the one it replaced goes back when this goes.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace relinka
