#pragma once
// Dynamic Annotation: what the program tells screen readers about a control beyond what Windows' own
// accessibility proxies find in it (its name, its role, that it is a live region), and the removal of it
// all before the control goes. The requests go to an annotation service (IAccPropServices): the program
// passes the system's (system_annotation_service), the tests one that records. It is made at the first
// request, so that nothing of it is paid for before then. A request the service refuses leaves the
// control as the system's proxy shows it, and a trace line; Wine 8 refuses every one (E_NOTIMPL).
#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <functional>
#include <string>

namespace relinka {

using AnnotationServiceMaker = std::function<Microsoft::WRL::ComPtr<IAccPropServices>()>;

// The system's annotation service (in oleacc.dll, reached through COM); null, traced, where it cannot be
// made.
[[nodiscard]] Microsoft::WRL::ComPtr<IAccPropServices> system_annotation_service();

class Annotations {
public:
    // `make_service` is asked once, at the first request; when it answers null, every request is skipped.
    explicit Annotations(AnnotationServiceMaker make_service);
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

    AnnotationServiceMaker make_service_;
    Microsoft::WRL::ComPtr<IAccPropServices> service_;
    bool asked_for_service_ = false;
};

// After a control's annotated name has changed: screen readers read it afresh and, where the control is a
// live region, speak it.
void announce_new_name(HWND control);

}  // namespace relinka
