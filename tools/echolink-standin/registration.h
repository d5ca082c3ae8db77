#pragma once
// "/regserver" and "/unregserver": the class as a LocalServer32 and both type libraries, so that the
// type-library marshaller carries calls of the dual interfaces between processes.
#include <windows.h>

namespace standin {

HRESULT register_server() noexcept;
// Removing what is not there is no failure.
HRESULT unregister_server() noexcept;

}  // namespace standin
