#include "registration.h"

#include <string>

#include "com_support.h"
#include "echolink.h"
#include "type_libraries.h"

namespace standin {

namespace {

constexpr TypeLibrary kTypeLibraries[] = {TypeLibrary::EchoLink, TypeLibrary::Control};

std::wstring class_key() {
    wchar_t clsid[40];
    StringFromGUID2(CLSID_EchoLinkApp, clsid, 40);
    return std::wstring(L"CLSID\\") + clsid;
}

HRESULT set_default_value(const std::wstring& key, const std::wstring& value) {
    const LSTATUS status = RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}

HRESULT register_type_library(TypeLibrary library) {
    ComPtr<ITypeLib> type_library;
    HRESULT hr = load_type_library(library, &type_library);
    if (FAILED(hr)) return hr;
    // Registered under "<exe>\N" by hand: LoadTypeLibEx(REGKIND_REGISTER) in Wine records the bare exe
    // path, which names resource 1, so the marshaller would look for the control interface in the
    // EchoLink library.
    std::wstring path = type_library_path(library);
    return RegisterTypeLib(type_library.Get(), path.data(), nullptr);
}

HRESULT unregister_type_library(TypeLibrary library) {
    ComPtr<ITypeLib> type_library;
    HRESULT hr = load_type_library(library, &type_library);
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = type_library->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    BSTR registered_path = nullptr;
    if (SUCCEEDED(QueryPathOfRegTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                        attributes->lcid, &registered_path))) {
        SysFreeString(registered_path);
        hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                               attributes->lcid, attributes->syskind);
    }
    type_library->ReleaseTLibAttr(attributes);
    return hr;
}

}  // namespace

HRESULT register_server() noexcept {
    return com_barrier([] {
        const std::wstring key = class_key();
        HRESULT hr = set_default_value(key, L"EchoLink (substituto)");
        // Quoted, so that a path with blanks still starts the right program.
        if (SUCCEEDED(hr)) hr = set_default_value(key + L"\\LocalServer32", L'"' + own_module_path() + L'"');
        for (const TypeLibrary library : kTypeLibraries)
            if (SUCCEEDED(hr)) hr = register_type_library(library);
        return hr;
    });
}

HRESULT unregister_server() noexcept {
    return com_barrier([] {
        HRESULT hr = S_OK;
        for (const TypeLibrary library : kTypeLibraries)
            if (SUCCEEDED(hr)) hr = unregister_type_library(library);
        const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, class_key().c_str());
        if (SUCCEEDED(hr) && status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            hr = HRESULT_FROM_WIN32(status);
        return hr;
    });
}

}  // namespace standin
