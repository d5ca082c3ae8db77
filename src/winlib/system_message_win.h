#pragma once
// The system's own words for an error code, for the messages an operator reads.
#include <windows.h>

#include <string>

namespace relinka {

// Without the line end the system puts after them; "Erro <code>." where the system has no words for it.
std::wstring system_message(DWORD error);

}  // namespace relinka
