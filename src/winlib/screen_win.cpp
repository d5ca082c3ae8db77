#include "winlib/screen_win.h"

#include "winlib/system_library_win.h"
#include "winlib/trace_win.h"
#include "winlib/twips_win.h"

namespace relinka {

namespace {

// A function of user32 that Windows 7 lacks: the program must still start there, so it is looked up.
template <class Function>
Function* newer_user32(const char* name) {
    return function_of<Function>(GetModuleHandleW(L"user32.dll"), name);
}

using GetDpiForWindow = UINT WINAPI(HWND);
using AdjustWindowRectExForDpi = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpi = int WINAPI(int, UINT);

}  // namespace

bool Screen::high_contrast() const {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof setting;
    if (trace_last_error_if(!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0),
                            "SystemParametersInfoW(SPI_GETHIGHCONTRAST), drawn as outside high contrast"))
        return false;
    return setting.dwFlags & HCF_HIGHCONTRASTON;
}

int Screen::dpi_of(HWND window) const {
    static auto* const get_dpi = newer_user32<GetDpiForWindow>("GetDpiForWindow");
    if (get_dpi)
        if (const UINT dpi = get_dpi(window)) return static_cast<int>(dpi);
    return screen_dpi();
}

const Screen& system_screen() {
    static const Screen screen;
    return screen;
}

SIZE Screen::window_size_for(SIZE client, DWORD style, int dpi) const {
    static auto* const adjust = newer_user32<AdjustWindowRectExForDpi>("AdjustWindowRectExForDpi");
    RECT bounds{0, 0, client.cx, client.cy};
    if (!adjust || !adjust(&bounds, style, FALSE, 0, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&bounds, style, FALSE, 0);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

int system_metric_for(int index, int dpi) {
    static auto* const metric = newer_user32<GetSystemMetricsForDpi>("GetSystemMetricsForDpi");
    return metric ? metric(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

}  // namespace relinka
