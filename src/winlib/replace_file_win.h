#pragma once
// A file's contents replaced in one step: the new contents go to a file of their own in the same
// directory, reach the disk, and only then take the old file's place, which is never opened for writing.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace relinka {

// The system's WriteFile, or a test's failing disk in its place.
using FileWrite = std::function<BOOL(HANDLE file, const void* data, DWORD size, DWORD* written)>;

// ERROR_SUCCESS once `bytes` are `name`'s contents; else the system's error, and the file is exactly as it
// was. A read-only file is never replaced.
[[nodiscard]] DWORD replace_file_contents(const std::wstring& name, std::string_view bytes,
                                          const FileWrite& write);

}  // namespace relinka
