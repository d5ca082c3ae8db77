#pragma once
// The two type libraries embedded in this module's resources (see type_libraries.rc).
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace standin {

enum class TypeLibrary { EchoLink = 1, Control = 2 };  // the TYPELIB resource ids

std::wstring own_module_path();
// "<module path>\N": how LoadTypeLibEx and the registry name the N-th TYPELIB resource.
std::wstring type_library_path(TypeLibrary library);
HRESULT load_type_library(TypeLibrary library, ITypeLib** out);
HRESULT load_type_info(TypeLibrary library, REFGUID interface_id, ITypeInfo** out);

}  // namespace standin
