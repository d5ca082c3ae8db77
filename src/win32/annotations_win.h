#pragma once
// Dynamic Annotation: what the program tells screen readers about a control beyond what Windows' own
// accessibility proxies find in it (its name, its role, that it is a live region), and the removal of it
// all before the control goes. The requests go to the system's annotation service (IAccPropServices, in
// oleacc.dll), made at the first request, so that nothing of it is paid for before then. A request the
// service refuses leaves the control as the system's proxy shows it; Wine 8 refuses every one
// (E_NOTIMPL).
#include <windows.h>
#include <wrl/client.h>

#include <string>

struct IAccPropServices;

namespace relinka {

// UI Automation's LiveSetting property and its value Polite, as Windows' uiautomationcoreapi.h and
// uiautomationcore.h give them; mingw-w64's headers lack the first, and one of them is not valid C++.
inline constexpr GUID kLiveSettingProperty{
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
inline constexpr LONG kLivePolite = 1;

class Annotations {
public:
    Annotations();
    // Another service in the system's place (a test's, which records the requests).
    explicit Annotations(Microsoft::WRL::ComPtr<IAccPropServices> service);
    ~Annotations();
    Annotations(const Annotations&) = delete;
    Annotations& operator=(const Annotations&) = delete;

    void set_name(HWND control, const std::wstring& name);
    void set_role(HWND control, LONG role);  // ROLE_SYSTEM_*
    // Screen readers speak the control's name, without leaving what the operator is doing, whenever
    // announce_new_name says it has changed.
    void set_polite_live_region(HWND control);
    void clear(HWND control);

private:
    IAccPropServices* service();

    Microsoft::WRL::ComPtr<IAccPropServices> service_;
    bool asked_for_service_;
};

// After a control's annotated name has changed: screen readers read it afresh and, where the control is a
// live region, speak it.
void announce_new_name(HWND control);

}  // namespace relinka
