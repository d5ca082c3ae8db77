#include "type_libraries.h"

#include "com_support.h"

namespace standin {

std::wstring own_module_path() {
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

std::wstring type_library_path(TypeLibrary library) {
    return own_module_path() + L'\\' + std::to_wstring(static_cast<int>(library));
}

HRESULT load_type_library(TypeLibrary library, ITypeLib** out) {
    return com_barrier([&] { return LoadTypeLibEx(type_library_path(library).c_str(), REGKIND_NONE, out); });
}

HRESULT load_type_info(TypeLibrary library, REFGUID interface_id, ITypeInfo** out) {
    ComPtr<ITypeLib> type_library;
    const HRESULT hr = load_type_library(library, &type_library);
    return FAILED(hr) ? hr : type_library->GetTypeInfoOfGuid(interface_id, out);
}

}  // namespace standin
