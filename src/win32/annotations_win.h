#pragma once
// Dynamic Annotation: what the program tells screen readers about a control beyond what Windows' own
// accessibility proxies find in it (its name, its role, that it is a live region), and the removal of it
// all before the control goes. The requests go to the system's annotation service (IAccPropServices, in
// oleacc.dll), made at the first request, so that nothing of it is paid for before then. A request the
// service refuses leaves the control as the system's proxy shows it; Wine 8 refuses every one
// (E_NOTIMPL). A test records the requests instead of making them.
#include <windows.h>
#include <wrl/client.h>

#include <string>

struct IAccPropServices;

namespace relinka {

class Annotations {
public:
    Annotations();
    virtual ~Annotations();
    Annotations(const Annotations&) = delete;
    Annotations& operator=(const Annotations&) = delete;

    virtual void set_name(HWND control, const std::wstring& name);
    virtual void set_role(HWND control, LONG role);  // ROLE_SYSTEM_*
    // Screen readers speak the control's name, without leaving what the operator is doing, whenever
    // announce_new_name says it has changed.
    virtual void set_polite_live_region(HWND control);
    virtual void clear(HWND control);

private:
    IAccPropServices* service();

    Microsoft::WRL::ComPtr<IAccPropServices> service_;
    bool asked_for_service_ = false;
};

// After a control's annotated name has changed: screen readers read it afresh and, where the control is a
// live region, speak it.
void announce_new_name(HWND control);

}  // namespace relinka
