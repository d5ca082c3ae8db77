#include "winlib/annotations_win.h"

#include <iterator>
#include <utility>

#include "winlib/trace_win.h"

namespace relinka {

namespace {
// UI Automation's LiveSetting property and its value Polite, as Windows' uiautomationcoreapi.h and
// uiautomationcore.h give them; mingw-w64's headers lack the first, and one of them is not valid C++.
constexpr GUID kLiveSettingProperty{
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kLivePolite = 1;

// A service refuses a whole ClearHwndProps (E_INVALIDARG) when it does not know one of the properties,
// and Windows 7's knows no LiveSetting: its names and roles are cleared in a request of their own, so
// that they do not stay on a handle Windows gives to another window.
const MSAAPROPID kNameAndRole[] = {PROPID_ACC_NAME, PROPID_ACC_ROLE};
const MSAAPROPID kLiveSetting[] = {kLiveSettingProperty};

VARIANT long_value(LONG value) {
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}
}  // namespace

Microsoft::WRL::ComPtr<IAccPropServices> system_annotation_service() {
    Microsoft::WRL::ComPtr<IAccPropServices> service;
    traced("annotations skipped: no AccPropServices",
           CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                            reinterpret_cast<void**>(service.GetAddressOf())));
    return service;
}

Annotations::Annotations(AnnotationServiceMaker make_service) : make_service_(std::move(make_service)) {}

IAccPropServices* Annotations::service() {
    if (!std::exchange(asked_for_service_, true)) service_ = make_service_();
    return service_.Get();
}

void Annotations::set_name(HWND control, const std::wstring& name) {
    if (IAccPropServices* service = this->service())
        traced("annotation skipped: SetHwndPropStr name",
               service->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name.c_str()));
}

void Annotations::set_role(HWND control, LONG role) {
    if (IAccPropServices* service = this->service())
        traced("annotation skipped: SetHwndProp role",
               service->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE, long_value(role)));
}

void Annotations::set_polite_live_region(HWND control) {
    if (IAccPropServices* service = this->service())
        traced("annotation skipped: SetHwndProp LiveSetting",
               service->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF, kLiveSettingProperty,
                                    long_value(kLivePolite)));
}

void Annotations::clear(HWND control) {
    IAccPropServices* service = this->service();
    if (!service) return;
    traced("annotation left: ClearHwndProps name and role",
           service->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, kNameAndRole,
                                   static_cast<int>(std::size(kNameAndRole))));
    traced("annotation left: ClearHwndProps LiveSetting",
           service->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, kLiveSetting,
                                   static_cast<int>(std::size(kLiveSetting))));
}

void announce_new_name(HWND control) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace relinka
