#pragma once
// The two type libraries embedded in this module's resources (see type_libraries.rc).
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace standin {

enum class TypeLibrary { EchoLink = 1, Control = 2 };  // the TYPELIB resource ids

std::wstring ownModulePath();
// "<module path>\N": how LoadTypeLibEx and the registry name the N-th TYPELIB resource.
std::wstring typeLibraryPath(TypeLibrary library);
HRESULT loadTypeLibrary(TypeLibrary library, ITypeLib** out);
HRESULT loadTypeInfo(TypeLibrary library, REFGUID interfaceId, ITypeInfo** out);

}  // namespace standin
