#pragma once
// The system's annotation service (IAccPropServices) played by the test: it keeps what the program asks of
// it, per control (a window's client object, as the program annotates controls), as the system would
// keep it, and answers as Windows does.
#include <windows.h>
#include <oleacc.h>

#include <map>
#include <optional>
#include <string>

#include "win32/annotations_win.h"

namespace relinka::testing {

class RecordedAnnotations : public IAccPropServices {
public:
    struct Annotated {
        std::optional<std::wstring> name;
        std::optional<LONG> role, live_setting;
    };
    // What the control's client object is annotated with now; null if nothing.
    const Annotated* of(HWND control) const;
    bool empty() const { return annotated_.empty(); }
    int requests = 0;

    // The program's Annotations, with this service in the system's place.
    Annotations annotations{this};

    HRESULT WINAPI QueryInterface(REFIID id, void** object) override;
    ULONG WINAPI AddRef() override { return 2; }  // lives as long as the test's own object
    ULONG WINAPI Release() override { return 1; }

    HRESULT WINAPI SetHwndProp(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                               VARIANT value) override;
    HRESULT WINAPI SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property,
                                  LPCWSTR text) override;
    HRESULT WINAPI ClearHwndProps(HWND hwnd, DWORD object, DWORD child, const MSAAPROPID* properties,
                                  int count) override;
    // Requests the program has no use for.
    HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return unused(); }
    HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                 AnnoScope) override {
        return unused();
    }
    HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return unused(); }
    HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                     AnnoScope) override {
        return unused();
    }
    HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override { return unused(); }
    HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return unused();
    }
    HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return unused(); }
    HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return unused(); }
    HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                      AnnoScope) override {
        return unused();
    }
    HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return unused(); }
    HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return unused(); }
    HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return unused();
    }

private:
    struct Element {
        HWND hwnd;
        DWORD object, child;
        auto operator<=>(const Element&) const = default;
    };
    HRESULT unused();

    std::map<Element, Annotated> annotated_;
};

}  // namespace relinka::testing
