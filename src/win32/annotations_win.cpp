#include "win32/annotations_win.h"

#include <initguid.h>
#include <oleacc.h>

#include <iterator>

namespace relinka {

namespace {
// UI Automation's LiveSetting property and its value Polite, as Windows' uiautomationcoreapi.h and
// uiautomationcore.h give them; mingw-w64's headers lack the first, and one of them is not valid C++.
constexpr GUID kLiveSettingProperty{
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kLivePolite = 1;

// Every property this program annotates, cleared together.
const MSAAPROPID kAnnotated[] = {PROPID_ACC_NAME, PROPID_ACC_ROLE, kLiveSettingProperty};

VARIANT long_value(LONG value) {
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = value;
    return variant;
}
}  // namespace

Annotations::Annotations() = default;
Annotations::~Annotations() = default;

IAccPropServices* Annotations::service() {
    if (!asked_for_service_) {
        asked_for_service_ = true;
        CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                         reinterpret_cast<void**>(service_.GetAddressOf()));
    }
    return service_.Get();
}

void Annotations::set_name(HWND control, const std::wstring& name) {
    if (IAccPropServices* service = this->service())
        service->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name.c_str());
}

void Annotations::set_role(HWND control, LONG role) {
    if (IAccPropServices* service = this->service())
        service->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_ROLE, long_value(role));
}

void Annotations::set_polite_live_region(HWND control) {
    if (IAccPropServices* service = this->service())
        service->SetHwndProp(control, OBJID_CLIENT, CHILDID_SELF, kLiveSettingProperty,
                             long_value(kLivePolite));
}

void Annotations::clear(HWND control) {
    if (IAccPropServices* service = this->service())
        service->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, kAnnotated,
                                static_cast<int>(std::size(kAnnotated)));
}

void announce_new_name(HWND control) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace relinka
