// echolink-standin: imitates EchoLink's automation object for Relinka's tests and demo.
//   echolink-standin /regserver     register the class and both type libraries
//   echolink-standin /unregserver   remove them
//   echolink-standin [-Embedding]   serve (COM passes -Embedding when it starts us for a client)
#include <windows.h>
#include <objbase.h>

#include <cwctype>
#include <memory>
#include <string_view>

#include "busy_filter.h"
#include "echolink_app.h"
#include "failure_report.h"
#include "registration.h"
#include "server_lifetime.h"
#include "singleton_factory.h"
#include "station_window.h"

namespace standin {
namespace {

enum class Mode { ServeByHand, ServeForCom, Register, Unregister, Unknown };

Mode mode_of(std::wstring_view argument) {
    while (!argument.empty() && iswspace(argument.front())) argument.remove_prefix(1);
    while (!argument.empty() && iswspace(argument.back())) argument.remove_suffix(1);
    if (argument.empty()) return Mode::ServeByHand;
    if (argument.front() != L'/' && argument.front() != L'-') return Mode::Unknown;
    argument.remove_prefix(1);
    auto is = [&](std::wstring_view option) {
        return CompareStringOrdinal(argument.data(), static_cast<int>(argument.size()), option.data(),
                                    static_cast<int>(option.size()), TRUE) == CSTR_EQUAL;
    };
    if (is(L"Embedding")) return Mode::ServeForCom;
    if (is(L"regserver")) return Mode::Register;
    if (is(L"unregserver")) return Mode::Unregister;
    return Mode::Unknown;
}

int failed(std::wstring_view what, HRESULT hr) {
    report_failure(what, hr);
    return 1;
}

int serve(bool started_by_com, int show) {
    const ComApartment apartment;
    if (FAILED(apartment.result())) return failed(L"CoInitializeEx", apartment.result());
    if (const HRESULT busy = use_busy_filter(); FAILED(busy)) return failed(L"CoRegisterMessageFilter", busy);
    ServerLifetime lifetime(started_by_com);
    ComPtr<EchoLinkApp> app;
    HRESULT hr = EchoLinkApp::create(&lifetime, app);
    if (FAILED(hr)) return failed(L"Criar o objeto EchoLink", hr);
    IUnknown& identity = *static_cast<IEchoLinkApp*>(app.Get());
    std::unique_ptr<StationWindow> window;
    hr = StationWindow::open(*app.Get(), show, window);
    if (FAILED(hr)) return failed(L"Abrir a janela", hr);
    SingletonFactory factory(identity, lifetime);
    DWORD registration = 0;
    hr = CoRegisterClassObject(CLSID_EchoLinkApp, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                               &registration);
    if (FAILED(hr)) return failed(L"CoRegisterClassObject", hr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) relinka::dispatch_message(message);

    // No new clients, then cut the ones still holding the object, before it goes away.
    CoRevokeClassObject(registration);
    CoDisconnectObject(&identity, 0);
    return 0;
}

int register_or_unregister(HRESULT (*action)() noexcept, std::wstring_view what) {
    const ComApartment apartment;
    const HRESULT hr = action();
    return FAILED(hr) ? failed(what, hr) : 0;
}

}  // namespace
}  // namespace standin

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int show) {
    using namespace standin;
    try {
        switch (mode_of(command_line)) {
            case Mode::ServeByHand:
                return serve(false, show);
            case Mode::ServeForCom:
                return serve(true, show);
            case Mode::Register:
                return register_or_unregister(register_server, L"/regserver");
            case Mode::Unregister:
                return register_or_unregister(unregister_server, L"/unregserver");
            case Mode::Unknown:
                break;
        }
        tell_user(L"uso: echolink-standin [/regserver | /unregserver | -Embedding]");
        return 2;
    } catch (...) {
        return failed(L"echolink-standin", E_UNEXPECTED);
    }
}
