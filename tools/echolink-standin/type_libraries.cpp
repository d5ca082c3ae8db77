#include "type_libraries.h"

#include "com_support.h"

namespace standin {

std::wstring ownModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
}

std::wstring typeLibraryPath(TypeLibrary library) {
    return ownModulePath() + L'\\' + std::to_wstring(static_cast<int>(library));
}

HRESULT loadTypeLibrary(TypeLibrary library, ITypeLib** out) {
    return com_barrier([&] { return LoadTypeLibEx(typeLibraryPath(library).c_str(), REGKIND_NONE, out); });
}

HRESULT loadTypeInfo(TypeLibrary library, REFGUID interfaceId, ITypeInfo** out) {
    ComPtr<ITypeLib> typeLibrary;
    const HRESULT hr = loadTypeLibrary(library, &typeLibrary);
    return FAILED(hr) ? hr : typeLibrary->GetTypeInfoOfGuid(interfaceId, out);
}

}  // namespace standin
