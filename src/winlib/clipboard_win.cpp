#include "winlib/clipboard_win.h"

#include <cstring>

#include "winlib/trace_win.h"

namespace relinka {

bool copy_to_clipboard(HWND window, const std::wstring& text) {
    const SIZE_T size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) {
        trace_last_error("clipboard: no memory for the text, nothing copied");
        return false;
    }
    std::memcpy(GlobalLock(memory), text.c_str(), size);
    GlobalUnlock(memory);
    // Another program may hold the clipboard for a moment.
    if (!OpenClipboard(window)) {
        trace_last_error("OpenClipboard, nothing copied");
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool copied = SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it from here
    if (!copied) {
        trace_last_error("SetClipboardData, nothing copied");
        GlobalFree(memory);
    }
    CloseClipboard();
    return copied;
}

}  // namespace relinka
