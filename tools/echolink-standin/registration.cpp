#include "registration.h"

#include <string>

#include "com_support.h"
#include "echolink.h"
#include "type_libraries.h"

namespace standin {

namespace {

constexpr TypeLibrary kTypeLibraries[] = {TypeLibrary::EchoLink, TypeLibrary::Control};

std::wstring classKey() {
    wchar_t clsid[40];
    StringFromGUID2(CLSID_EchoLinkApp, clsid, 40);
    return std::wstring(L"CLSID\\") + clsid;
}

HRESULT setDefaultValue(const std::wstring& key, const std::wstring& value) {
    const LSTATUS status = RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}

HRESULT registerTypeLibrary(TypeLibrary library) {
    ComPtr<ITypeLib> typeLibrary;
    HRESULT hr = loadTypeLibrary(library, &typeLibrary);
    if (FAILED(hr)) return hr;
    // Registered under "<exe>\N" by hand: LoadTypeLibEx(REGKIND_REGISTER) in Wine records the bare exe
    // path, which names resource 1, so the marshaller would look for the control interface in the
    // EchoLink library.
    std::wstring path = typeLibraryPath(library);
    return RegisterTypeLib(typeLibrary.Get(), path.data(), nullptr);
}

HRESULT unregisterTypeLibrary(TypeLibrary library) {
    ComPtr<ITypeLib> typeLibrary;
    HRESULT hr = loadTypeLibrary(library, &typeLibrary);
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = typeLibrary->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    BSTR registeredPath = nullptr;
    if (SUCCEEDED(QueryPathOfRegTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                        attributes->lcid, &registeredPath))) {
        SysFreeString(registeredPath);
        hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                               attributes->lcid, attributes->syskind);
    }
    typeLibrary->ReleaseTLibAttr(attributes);
    return hr;
}

}  // namespace

HRESULT registerServer() noexcept {
    return com_barrier([] {
        const std::wstring key = classKey();
        HRESULT hr = setDefaultValue(key, L"EchoLink (substituto)");
        // Quoted, so that a path with blanks still starts the right program.
        if (SUCCEEDED(hr)) hr = setDefaultValue(key + L"\\LocalServer32", L'"' + ownModulePath() + L'"');
        for (const TypeLibrary library : kTypeLibraries)
            if (SUCCEEDED(hr)) hr = registerTypeLibrary(library);
        return hr;
    });
}

HRESULT unregisterServer() noexcept {
    return com_barrier([] {
        HRESULT hr = S_OK;
        for (const TypeLibrary library : kTypeLibraries)
            if (SUCCEEDED(hr)) hr = unregisterTypeLibrary(library);
        const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey().c_str());
        if (SUCCEEDED(hr) && status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            hr = HRESULT_FROM_WIN32(status);
        return hr;
    });
}

}  // namespace standin
