#include "app/accessible_names.h"

namespace relinka {

std::wstring status_label_name(int slot, std::wstring_view caption) {
    const bool blank = caption.find_first_not_of(L' ') == std::wstring_view::npos;
    return L"Estação " + std::to_wstring(slot) + L": " + (blank ? L"sem estado" : std::wstring(caption));
}

const wchar_t* indicator_name(bool running) {
    return running ? L"Supervisão ligada" : L"Supervisão desligada";
}

}  // namespace relinka
