#pragma once
// Text onto the clipboard, for other programs to paste.
#include <windows.h>

#include <string>

namespace relinka {

// As Unicode text, the clipboard's owner `window`; false, traced, where the clipboard would not take it.
bool copy_to_clipboard(HWND window, const std::wstring& text);

}  // namespace relinka
